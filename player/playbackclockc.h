#ifndef PLAYER_PLAYBACKCLOCKC_H
#define PLAYER_PLAYBACKCLOCKC_H

#include <cstdint>
#include <string>
#include <vector>

class SoundStreamC;

// Presentation time in milliseconds: the music stream's play position while
// music plays, else the performance counter since start_clock(). The start
// position can be moved (a seek) and the clock paused; the music follows.
class PlaybackClockC {
 public:
  PlaybackClockC() = default;
  PlaybackClockC(const PlaybackClockC&) = delete;
  PlaybackClockC& operator=(const PlaybackClockC&) = delete;
  ~PlaybackClockC();

  // Starts the sound library and opens the music under the names of
  // music_file_candidates, saying on standard error what was tried when none
  // opens. False when there will be no music: then the counter drives the
  // clock.
  bool open_music(const std::string& rFileName, const std::string& rDocumentFolder = "");
  // Plays the music from i32StartPosition (ticks), or sets the counter's
  // origin so that the time is there now.
  void start_clock(double f64TicksPerSecond, int32_t i32StartPosition = 0);
  // The file the music plays from; empty without music.
  const std::string& get_music_path() const { return m_sMusicPath; }
  // Whether the music named, looked for as open_music looks, is another file
  // than the one playing (or none), or that file saved anew.
  bool is_other_music(const std::string& rFileName, const std::string& rDocumentFolder) const;
  // Plays that music instead, from the clock's time, paused if the clock is.
  void change_music(const std::string& rFileName, const std::string& rDocumentFolder);
  int32_t get_time();
  // Moves the clock and the music to i32Position ticks; a paused clock stays
  // paused there.
  void seek(int32_t i32Position);
  // Holds the time, and the music with it, until resume().
  void pause();
  void resume();
  bool is_paused() const { return m_bPaused; }
  // For a document reloaded with another tempo: seeks convert with it.
  void set_ticks_per_second(double f64TicksPerSecond) { m_f64TicksPerSecond = f64TicksPerSecond; }
  // While music plays: its position minus the time the counter has run since
  // the last start, seek or resume, in milliseconds. 0 without music.
  int32_t get_music_drift_ms();
  void stop_music();
  // Closes the stream and the sound library, if they were opened.
  void close_music();

  bool is_streaming() const { return m_bLibraryReady && m_pStream; }

 private:
  // What a music file looked like when opened.
  struct MusicStampS {
    int64_t m_i64TimeNs = 0;
    int64_t m_i64Size = -1;
    bool operator==(const MusicStampS& rOther) const {
      return m_i64TimeNs == rOther.m_i64TimeNs && m_i64Size == rOther.m_i64Size;
    }
  };
  static MusicStampS stamp_of(const std::string& rPath);
  bool open_stream(const std::string& rFileName, const std::string& rDocumentFolder);
  void close_stream();

  bool m_bLibraryReady = false;
  SoundStreamC* m_pStream = nullptr;
  int32_t m_i32Channel = -1;
  std::string m_sMusicName;  // as the document names it
  std::string m_sMusicPath;  // the file opened
  MusicStampS m_rMusicStamp;
  void play_stream();
  void set_origin(int64_t i64TimeMs);

  int32_t m_i32StartPosition = 0;  // ticks
  double m_f64TicksPerSecond = 0.0;
  int64_t m_i64OriginMs = 0;
  bool m_bPaused = false;
  int64_t m_i64PausedMs = 0;
};

// The first whole millisecond at which ms_to_ticks gives i32Ticks or more;
// 0 for a scene without a tempo.
int64_t ticks_to_ms(int32_t i32Ticks, double f64TicksPerSecond);

// The file name without drive and directory, for names stored on another
// system: both '\' and '/' separate directories.
std::string bare_file_name(const std::string& rFileName);
// The folder of a document's path, "" for one in the current directory.
std::string document_folder(const std::string& rDocumentPath);
// The names a music file is looked for under, in order and each once: in the
// document's folder as stored (when relative) and bare, then as stored and
// bare relative to the current directory.
std::vector<std::string> music_file_candidates(const std::string& rFileName, const std::string& rDocumentFolder);
// One line for standard error: the music could not be opened under any of
// rTried (the last failure's reason), and what plays instead.
std::string music_not_found_text(const std::string& rFileName, const std::vector<std::string>& rTried,
                                 int32_t i32Error, const char* szInstead);

// The text of a sound library error code.
const char* sound_error_text(int32_t i32Code);

#endif
