#include "platform/soundlibrary.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

#include "platform/soundstreamc.h"

// Pan values of sound_set_pan: SOUND_PAN_STEREO plays the stream as it is;
// 0 to 255 is a balance from left (0) over centre (128) to right (255), where
// the far side fades linearly and the near side keeps full level.

namespace {

constexpr int32_t PAN_LEFT = 0;
constexpr int32_t PAN_RIGHT = 255;
constexpr int32_t MIN_MIX_RATE = 8000;
constexpr int32_t MAX_MIX_RATE = 192000;
constexpr int32_t MAX_CHANNELS = 256;
// Device buffer: 1024 frames (23 ms at 44100 Hz) keeps the callback cheap
// and the latency from play to the first position small.
constexpr uint16_t DEVICE_FRAMES = 1024;

struct ChannelC {
  SoundStreamC* m_pStream = nullptr;
  float m_f32LeftGain = 1.0f;
  float m_f32RightGain = 1.0f;
};

// The library's state; main thread only, except the channels, which the
// audio callback reads with the device locked.
struct SoundLibraryC {
  int32_t m_i32Error = SOUND_ERROR_NONE;
  bool m_bReady = false;
  int32_t m_i32OutputType = SOUND_OUTPUT_DEFAULT;
  int32_t m_i32MixRate = 0;
  SDL_AudioDeviceID m_ui32Device = 0;
  std::vector<ChannelC> m_rChannels;
  std::vector<std::unique_ptr<SoundStreamC>> m_rStreams;

  // A program that exits without sound_close must not free streams under a
  // running callback.
  ~SoundLibraryC() {
    if (m_bReady) {
      SDL_CloseAudioDevice(m_ui32Device);
    }
  }
};

SoundLibraryC g_rLibrary;

bool fail(int32_t i32Error) {
  g_rLibrary.m_i32Error = i32Error;
  return false;
}

bool succeed() {
  g_rLibrary.m_i32Error = SOUND_ERROR_NONE;
  return true;
}

// A stream of ours, checked so that a stale or foreign pointer is an error
// rather than a crash.
bool valid_stream(SoundStreamC* pStream) {
  if (!g_rLibrary.m_bReady) {
    return fail(SOUND_ERROR_UNINITIALIZED);
  }
  const auto& rStreams = g_rLibrary.m_rStreams;
  if (!pStream || std::none_of(rStreams.begin(), rStreams.end(),
                               [pStream](const std::unique_ptr<SoundStreamC>& p) { return p.get() == pStream; })) {
    return fail(SOUND_ERROR_INVALID_PARAM);
  }
  return true;
}

// The device must be locked.
void detach(SoundStreamC* pStream) {
  for (ChannelC& rChannel : g_rLibrary.m_rChannels) {
    if (rChannel.m_pStream == pStream) {
      rChannel.m_pStream = nullptr;
      pStream->stop();
    }
  }
}

void audio_callback(void*, Uint8* pBytes, int iLength) {
  float* pOut = reinterpret_cast<float*>(pBytes);
  const uint32_t ui32Frames = static_cast<uint32_t>(iLength) / (2 * sizeof(float));
  std::fill(pOut, pOut + static_cast<size_t>(ui32Frames) * 2, 0.0f);
  const SoundStreamC::ClockT::time_point rNow = SoundStreamC::ClockT::now();
  for (const ChannelC& rChannel : g_rLibrary.m_rChannels) {
    if (rChannel.m_pStream) {
      rChannel.m_pStream->mix(pOut, ui32Frames, rChannel.m_f32LeftGain, rChannel.m_f32RightGain, rNow);
    }
  }
  for (size_t uiIndex = 0; uiIndex < static_cast<size_t>(ui32Frames) * 2; ++uiIndex) {
    pOut[uiIndex] = std::clamp(pOut[uiIndex], -1.0f, 1.0f);
  }
}

}  // namespace

void sound_set_output(int32_t i32OutputType) {
  if (g_rLibrary.m_bReady) {
    fail(SOUND_ERROR_BUSY);
    return;
  }
  // SDL picks the system's output; the type is kept for completeness only.
  g_rLibrary.m_i32OutputType = i32OutputType;
  succeed();
}

bool sound_init(int32_t i32MixRate, int32_t i32Channels, uint32_t) {
  if (g_rLibrary.m_bReady) {
    return succeed();
  }
  if (i32MixRate < MIN_MIX_RATE || i32MixRate > MAX_MIX_RATE || i32Channels < 1 || i32Channels > MAX_CHANNELS) {
    return fail(SOUND_ERROR_INVALID_PARAM);
  }
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    return fail(SOUND_ERROR_INIT);
  }
  SDL_AudioSpec rWanted;
  SDL_zero(rWanted);
  rWanted.freq = i32MixRate;
  rWanted.format = AUDIO_F32SYS;
  rWanted.channels = 2;
  rWanted.samples = DEVICE_FRAMES;
  rWanted.callback = audio_callback;
  SDL_AudioSpec rObtained;
  // No changes allowed: SDL converts to whatever the device really takes.
  g_rLibrary.m_ui32Device = SDL_OpenAudioDevice(nullptr, 0, &rWanted, &rObtained, 0);
  if (g_rLibrary.m_ui32Device == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return fail(SOUND_ERROR_INIT);
  }
  g_rLibrary.m_i32MixRate = i32MixRate;
  g_rLibrary.m_rChannels.assign(static_cast<size_t>(i32Channels), ChannelC());
  g_rLibrary.m_bReady = true;
  // The device runs from now on, silent until a stream plays, so that
  // starting a stream does not wait for the device to start.
  SDL_PauseAudioDevice(g_rLibrary.m_ui32Device, 0);
  return succeed();
}

int32_t sound_get_error() {
  return g_rLibrary.m_i32Error;
}

// The mode and offset are accepted as the player passes them: every file is
// streamed from disk whatever the mode asks.
SoundStreamC* sound_stream_open_file(const char* szFileName, uint32_t, int32_t) {
  if (!g_rLibrary.m_bReady) {
    fail(SOUND_ERROR_UNINITIALIZED);
    return nullptr;
  }
  if (!szFileName || !*szFileName) {
    fail(SOUND_ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  int32_t i32Error = SOUND_ERROR_NONE;
  std::unique_ptr<SoundStreamC> pStream = SoundStreamC::open(szFileName, g_rLibrary.m_i32MixRate, i32Error);
  if (!pStream) {
    fail(i32Error);
    return nullptr;
  }
  g_rLibrary.m_rStreams.push_back(std::move(pStream));
  succeed();
  return g_rLibrary.m_rStreams.back().get();
}

void sound_stream_close(SoundStreamC* pStream) {
  if (!valid_stream(pStream)) {
    return;
  }
  SDL_LockAudioDevice(g_rLibrary.m_ui32Device);
  detach(pStream);
  SDL_UnlockAudioDevice(g_rLibrary.m_ui32Device);
  auto& rStreams = g_rLibrary.m_rStreams;
  rStreams.erase(std::find_if(rStreams.begin(), rStreams.end(),
                              [pStream](const std::unique_ptr<SoundStreamC>& p) { return p.get() == pStream; }));
  succeed();
}

bool sound_stream_set_time(SoundStreamC* pStream, int32_t i32Ms) {
  if (!valid_stream(pStream)) {
    return false;
  }
  if (i32Ms < 0) {
    return fail(SOUND_ERROR_INVALID_PARAM);
  }
  pStream->set_time_ms(i32Ms);
  return succeed();
}

int32_t sound_stream_play(int32_t i32Channel, SoundStreamC* pStream) {
  if (!valid_stream(pStream)) {
    return -1;
  }
  std::vector<ChannelC>& rChannels = g_rLibrary.m_rChannels;
  if (i32Channel != SOUND_FREE_CHANNEL && (i32Channel < 0 || i32Channel >= static_cast<int32_t>(rChannels.size()))) {
    fail(SOUND_ERROR_INVALID_PARAM);
    return -1;
  }
  SDL_LockAudioDevice(g_rLibrary.m_ui32Device);
  // A stream plays on one channel at a time; playing it again moves it.
  detach(pStream);
  if (i32Channel == SOUND_FREE_CHANNEL) {
    const auto it = std::find_if(rChannels.begin(), rChannels.end(),
                                 [](const ChannelC& rChannel) { return rChannel.m_pStream == nullptr; });
    i32Channel = it == rChannels.end() ? -1 : static_cast<int32_t>(it - rChannels.begin());
  } else if (rChannels[i32Channel].m_pStream) {
    detach(rChannels[i32Channel].m_pStream);
  }
  if (i32Channel >= 0) {
    rChannels[i32Channel] = ChannelC();
    rChannels[i32Channel].m_pStream = pStream;
    pStream->start();
  }
  SDL_UnlockAudioDevice(g_rLibrary.m_ui32Device);
  if (i32Channel < 0) {
    fail(SOUND_ERROR_CHANNEL_ALLOC);
    return -1;
  }
  succeed();
  return i32Channel;
}

void sound_set_pan(int32_t i32Channel, int32_t i32Pan) {
  if (!g_rLibrary.m_bReady) {
    fail(SOUND_ERROR_UNINITIALIZED);
    return;
  }
  if (i32Channel < 0 || i32Channel >= static_cast<int32_t>(g_rLibrary.m_rChannels.size()) ||
      (i32Pan != SOUND_PAN_STEREO && (i32Pan < PAN_LEFT || i32Pan > PAN_RIGHT))) {
    fail(SOUND_ERROR_INVALID_PARAM);
    return;
  }
  float f32Left = 1.0f;
  float f32Right = 1.0f;
  if (i32Pan != SOUND_PAN_STEREO) {
    const float f32Half = (PAN_RIGHT - PAN_LEFT) / 2.0f;
    f32Left = std::min(1.0f, (PAN_RIGHT - i32Pan) / f32Half);
    f32Right = std::min(1.0f, (i32Pan - PAN_LEFT) / f32Half);
  }
  SDL_LockAudioDevice(g_rLibrary.m_ui32Device);
  g_rLibrary.m_rChannels[i32Channel].m_f32LeftGain = f32Left;
  g_rLibrary.m_rChannels[i32Channel].m_f32RightGain = f32Right;
  SDL_UnlockAudioDevice(g_rLibrary.m_ui32Device);
  succeed();
}

int32_t sound_stream_get_time(SoundStreamC* pStream) {
  if (!valid_stream(pStream)) {
    return 0;
  }
  succeed();
  return static_cast<int32_t>(std::min<int64_t>(pStream->get_time_ms(), INT32_MAX));
}

void sound_stream_stop(SoundStreamC* pStream) {
  if (!valid_stream(pStream)) {
    return;
  }
  SDL_LockAudioDevice(g_rLibrary.m_ui32Device);
  detach(pStream);
  SDL_UnlockAudioDevice(g_rLibrary.m_ui32Device);
  succeed();
}

void sound_close() {
  if (!g_rLibrary.m_bReady) {
    fail(SOUND_ERROR_UNINITIALIZED);
    return;
  }
  // Closing the device ends the callbacks; then the streams can go.
  SDL_CloseAudioDevice(g_rLibrary.m_ui32Device);
  g_rLibrary.m_ui32Device = 0;
  g_rLibrary.m_rChannels.clear();
  g_rLibrary.m_rStreams.clear();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  g_rLibrary.m_bReady = false;
  succeed();
}
