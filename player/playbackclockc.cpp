#include "player/playbackclockc.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cmath>
#include <iterator>

#include "platform/messagebox.h"
#include "platform/perfcounter.h"
#include "platform/soundlibrary.h"
#include "player/playerc.h"

namespace {

constexpr int32_t MUSIC_MIX_RATE = 44100;
constexpr int32_t MUSIC_CHANNELS = 32;

const char* const SOUND_ERROR_TEXTS[] = {
    "No errors",
    "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
    "This command failed because FSOUND_Init was not called",
    "Error initializing output device.",
    "The output device is already in use and cannot be reused.",
    "Playing the sound failed.",
    "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
    "Error setting cooperative level for hardware.",
    "Error creating hardware sound buffer.",
    "File not found",
    "Unknown file format",
    "Error loading file",
    "Not enough memory ",
    "The version number of this file format is not supported",
    "An invalid parameter was passed to this function",
    "Tried to use an EAX command on a non EAX enabled channel or output.",
    "Tried to use an advanced EAX2 command on a non EAX2 enabled channel or output.",
    "Failed to allocate a new channel",
    "Recording not supported on this device",
    "Required Mediaplayer codec is not installed",
};

}  // namespace

const char* sound_error_text(int32_t i32Code) {
  if (i32Code < 0 || i32Code >= static_cast<int32_t>(std::size(SOUND_ERROR_TEXTS))) {
    return "Unknown error";
  }
  return SOUND_ERROR_TEXTS[i32Code];
}

std::string bare_file_name(const std::string& rFileName) {
  const size_t uSeparator = rFileName.find_last_of("\\/");
  std::string sName = uSeparator == std::string::npos ? rFileName : rFileName.substr(uSeparator + 1);
  // A drive without a directory, as in "C:tune.mp3".
  if (sName.size() > 2 && sName[1] == ':') {
    sName = sName.substr(2);
  }
  return sName;
}

std::string document_folder(const std::string& rDocumentPath) {
  const size_t uSeparator = rDocumentPath.rfind('/');
  if (uSeparator == std::string::npos) {
    return "";
  }
  return uSeparator == 0 ? "/" : rDocumentPath.substr(0, uSeparator);
}

// A presentation is moved as a folder, its music beside it: that folder is
// looked in first, then where the player has always looked.
std::vector<std::string> music_file_candidates(const std::string& rFileName, const std::string& rDocumentFolder) {
  const std::string sBare = bare_file_name(rFileName);
  std::vector<std::string> rNames;
  auto add = [&rNames](const std::string& rName) {
    if (!rName.empty() && std::find(rNames.begin(), rNames.end(), rName) == rNames.end()) {
      rNames.push_back(rName);
    }
  };
  if (!rDocumentFolder.empty()) {
    const std::string sFolder = rDocumentFolder.back() == '/' ? rDocumentFolder : rDocumentFolder + "/";
    // Names of another system (drives, '\\') only ever meant their bare name here.
    if (rFileName.front() != '/' && rFileName.find_first_of("\\:") == std::string::npos) {
      add(sFolder + rFileName);
    }
    if (!sBare.empty()) {
      add(sFolder + sBare);
    }
  }
  add(rFileName);
  add(sBare);
  return rNames;
}

std::string music_not_found_text(const std::string& rFileName, const std::vector<std::string>& rTried,
                                 int32_t i32Error, const char* szInstead) {
  std::string sText = "tiravo: the music " + rFileName + " cannot be played (" + sound_error_text(i32Error) +
                      "; tried ";
  for (size_t i = 0; i < rTried.size(); ++i) {
    sText += (i == 0 ? "" : ", ") + rTried[i];
  }
  return sText + "): " + szInstead + "\n";
}

PlaybackClockC::~PlaybackClockC() {
  close_music();
}

bool PlaybackClockC::open_music(const std::string& rFileName, const std::string& rDocumentFolder) {
  sound_set_output(SOUND_OUTPUT_DEFAULT);
  if (!sound_init(MUSIC_MIX_RATE, MUSIC_CHANNELS, 0)) {
    show_message_box("FMOD Error", sound_error_text(sound_get_error()), MESSAGE_ICON_ERROR);
    return false;
  }
  m_bLibraryReady = true;
  return open_stream(rFileName, rDocumentFolder);
}

bool PlaybackClockC::open_stream(const std::string& rFileName, const std::string& rDocumentFolder) {
  close_stream();
  m_sMusicName = rFileName;
  if (rFileName.empty()) {
    return true;
  }
  const std::vector<std::string> rNames = music_file_candidates(rFileName, rDocumentFolder);
  for (const std::string& rName : rNames) {
    m_pStream = sound_stream_open_file(rName.c_str(), SOUND_STREAM_MODE, 0);
    if (m_pStream) {
      m_sMusicPath = rName;
      m_rMusicStamp = stamp_of(rName);
      return true;
    }
  }
  std::fputs(music_not_found_text(rFileName, rNames, sound_get_error(), "playing without sound, timed by the clock")
                 .c_str(),
             stderr);
  return false;
}

void PlaybackClockC::close_stream() {
  if (m_pStream) {
    sound_stream_close(m_pStream);
    m_pStream = nullptr;
  }
  m_sMusicPath.clear();
  m_rMusicStamp = MusicStampS();
}

PlaybackClockC::MusicStampS PlaybackClockC::stamp_of(const std::string& rPath) {
  struct stat rInfo {};
  if (stat(rPath.c_str(), &rInfo) != 0) {
    return MusicStampS();
  }
  return MusicStampS{static_cast<int64_t>(rInfo.st_mtim.tv_sec) * 1000000000 + rInfo.st_mtim.tv_nsec,
                     static_cast<int64_t>(rInfo.st_size)};
}

// The first name that is a file is the one open_music would open.
bool PlaybackClockC::is_other_music(const std::string& rFileName, const std::string& rDocumentFolder) const {
  if (rFileName != m_sMusicName) {
    return true;
  }
  for (const std::string& rName : music_file_candidates(rFileName, rDocumentFolder)) {
    const MusicStampS rStamp = stamp_of(rName);
    if (rStamp.m_i64Size >= 0) {
      return rName != m_sMusicPath || !(rStamp == m_rMusicStamp);
    }
  }
  return !m_sMusicPath.empty();
}

void PlaybackClockC::change_music(const std::string& rFileName, const std::string& rDocumentFolder) {
  if (!m_bLibraryReady) {
    return;
  }
  const int64_t i64NowMs = std::max<int32_t>(get_time(), 0);
  if (m_pStream) {
    sound_stream_stop(m_pStream);
  }
  open_stream(rFileName, rDocumentFolder);
  if (is_streaming()) {
    sound_stream_set_time(m_pStream, static_cast<int32_t>(i64NowMs));
    if (!m_bPaused) {
      play_stream();
    }
  }
  set_origin(i64NowMs);
}

int64_t ticks_to_ms(int32_t i32Ticks, double f64TicksPerSecond) {
  // A scene without a tempo has no ticks to convert.
  if (!(f64TicksPerSecond > 0.0)) {
    return 0;
  }
  int64_t i64Ms = static_cast<int64_t>(std::ceil(i32Ticks * 1000.0 / f64TicksPerSecond));
  // The division can round up by one: step back while that still reaches the tick.
  while (i64Ms > 0 && ms_to_ticks(static_cast<int32_t>(i64Ms - 1), f64TicksPerSecond) >= i32Ticks) {
    --i64Ms;
  }
  return i64Ms;
}

void PlaybackClockC::start_clock(double f64TicksPerSecond, int32_t i32StartPosition) {
  m_f64TicksPerSecond = f64TicksPerSecond;
  m_i32StartPosition = i32StartPosition;
  const int64_t i64StartMs = ticks_to_ms(m_i32StartPosition, f64TicksPerSecond);
  if (is_streaming()) {
    sound_stream_set_time(m_pStream, static_cast<int32_t>(std::max<int64_t>(i64StartMs, 0)));
    play_stream();
  }
  set_origin(i64StartMs);
}

void PlaybackClockC::play_stream() {
  m_i32Channel = sound_stream_play(SOUND_FREE_CHANNEL, m_pStream);
  sound_set_pan(m_i32Channel, SOUND_PAN_STEREO);
}

void PlaybackClockC::set_origin(int64_t i64TimeMs) {
  m_i64OriginMs = counter_now_ms() - i64TimeMs;
  m_i64PausedMs = i64TimeMs;
}

int32_t PlaybackClockC::get_time() {
  if (is_streaming()) {
    return sound_stream_get_time(m_pStream);
  }
  if (m_bPaused) {
    return static_cast<int32_t>(m_i64PausedMs);
  }
  return static_cast<int32_t>(counter_now_ms() - m_i64OriginMs);
}

// The music has no time before its start: the clock starts there too.
void PlaybackClockC::seek(int32_t i32Position) {
  m_i32StartPosition = std::max(i32Position, 0);
  const int64_t i64TargetMs = ticks_to_ms(m_i32StartPosition, m_f64TicksPerSecond);
  if (is_streaming()) {
    sound_stream_set_time(m_pStream, static_cast<int32_t>(std::min<int64_t>(i64TargetMs, INT32_MAX)));
  }
  set_origin(i64TargetMs);
}

void PlaybackClockC::pause() {
  if (m_bPaused) {
    return;
  }
  m_i64PausedMs = get_time();
  m_bPaused = true;
  if (is_streaming()) {
    // The device has taken a little more than was heard by now: the music
    // goes back to what the clock showed, so both hold the same time.
    sound_stream_stop(m_pStream);
    sound_stream_set_time(m_pStream, static_cast<int32_t>(std::max<int64_t>(m_i64PausedMs, 0)));
  }
}

void PlaybackClockC::resume() {
  if (!m_bPaused) {
    return;
  }
  m_bPaused = false;
  if (is_streaming()) {
    // A stopped stream keeps its position: playing it again goes on from there.
    set_origin(sound_stream_get_time(m_pStream));
    play_stream();
    return;
  }
  set_origin(m_i64PausedMs);
}

int32_t PlaybackClockC::get_music_drift_ms() {
  if (!is_streaming() || m_bPaused) {
    return 0;
  }
  const int64_t i64CounterMs = counter_now_ms() - m_i64OriginMs;
  return static_cast<int32_t>(std::clamp<int64_t>(sound_stream_get_time(m_pStream) - i64CounterMs, INT32_MIN, INT32_MAX));
}

void PlaybackClockC::stop_music() {
  if (m_pStream) {
    sound_stream_stop(m_pStream);
  }
}

void PlaybackClockC::close_music() {
  if (!m_bLibraryReady) {
    return;
  }
  close_stream();
  sound_close();
  m_bLibraryReady = false;
}
