#ifndef PLAYER_PLAYBACKCLOCKC_H
#define PLAYER_PLAYBACKCLOCKC_H

#include <cstdint>
#include <string>
#include <vector>

class SoundStreamC;

// Presentation time in milliseconds: the music stream's play position while
// music plays, else the performance counter since start_clock().
class PlaybackClockC {
 public:
  PlaybackClockC() = default;
  PlaybackClockC(const PlaybackClockC&) = delete;
  PlaybackClockC& operator=(const PlaybackClockC&) = delete;
  ~PlaybackClockC();

  // Starts the sound library and opens the music, trying the bare file name
  // in the current directory when the stored name cannot be opened. False
  // when there will be no music: then the counter drives the clock.
  bool open_music(const std::string& rFileName);
  // Plays the music from its start, or sets the counter's origin.
  void start_clock(double f64TicksPerSecond);
  int32_t get_time();
  void stop_music();
  // Closes the stream and the sound library, if they were opened.
  void close_music();

  bool is_streaming() const { return m_bLibraryReady && m_pStream; }

 private:
  bool m_bLibraryReady = false;
  SoundStreamC* m_pStream = nullptr;
  int32_t m_i32Channel = -1;
  int32_t m_i32StartPosition = 0;  // ticks
  int64_t m_i64OriginMs = 0;
};

// The file name without drive and directory, for names stored on another
// system: both '\' and '/' separate directories.
std::string bare_file_name(const std::string& rFileName);
// The names a music file is looked for under, in order: as the document
// stores it, then bare in the current directory.
std::vector<std::string> music_file_candidates(const std::string& rFileName);

// The text of a sound library error code.
const char* sound_error_text(int32_t i32Code);

#endif
