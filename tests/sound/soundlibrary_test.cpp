#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/soundlibrary.h"
#include "tests/support/tempfilec.h"

namespace {

using ClockT = std::chrono::steady_clock;

std::string media(const char* szName) {
  return std::string(TIRAVO_SOUND_MEDIA_DIR) + "/" + szName;
}

int64_t ms_since(ClockT::time_point rStart) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(ClockT::now() - rStart).count();
}

void sleep_ms(int32_t i32Ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(i32Ms));
}

// The smallest four-channel tracker module: one pattern whose first row
// plays a looped square wave.
std::vector<uint8_t> square_wave_module() {
  std::vector<uint8_t> rBytes(1084 + 1024 + 64, 0);
  uint8_t* pSample = &rBytes[20];
  pSample[23] = 32;  // length in words
  pSample[25] = 64;  // volume
  pSample[29] = 32;  // loop length in words
  rBytes[950] = 1;   // song length
  rBytes[951] = 127;
  const char szTag[] = "M.K.";
  std::copy(szTag, szTag + 4, &rBytes[1080]);
  const uint8_t rNote[4] = {0x01, 0xAC, 0x10, 0x00};  // sample 1, period 428
  std::copy(rNote, rNote + 4, &rBytes[1084]);
  for (size_t uiIndex = 0; uiIndex < 64; ++uiIndex) {
    rBytes[2108 + uiIndex] = uiIndex < 32 ? 100 : static_cast<uint8_t>(-100);
  }
  return rBytes;
}

// The library on SDL's dummy driver, which takes audio at real-time pace.
class SoundStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(sound_init(44100, 32, 0));
  }
  void TearDown() override { sound_close(); }

  // Plays pStream from i32StartMs until it has moved for i32ForMs of wall
  // time. The position must never fall back nor run ahead of the wall clock
  // (one device buffer of slack). It may wait for the decoder after a seek,
  // but once moving it must keep roughly in step; the bounds are loose
  // because a busy machine may starve the decoding and device threads.
  static int32_t expect_real_time(SoundStreamC* pStream, int32_t i32StartMs, int32_t i32ForMs) {
    EXPECT_TRUE(sound_stream_set_time(pStream, i32StartMs));
    EXPECT_EQ(sound_stream_get_time(pStream), i32StartMs);
    const ClockT::time_point rStart = ClockT::now();
    const int32_t i32Channel = sound_stream_play(SOUND_FREE_CHANNEL, pStream);
    EXPECT_GE(i32Channel, 0);
    sound_set_pan(i32Channel, SOUND_PAN_STEREO);
    EXPECT_EQ(sound_get_error(), SOUND_ERROR_NONE);
    int32_t i32Last = i32StartMs;
    ClockT::time_point rMoved = rStart;
    while (ms_since(rStart) < 5000 && (i32Last == i32StartMs || ms_since(rMoved) < i32ForMs)) {
      sleep_ms(5);
      const int32_t i32Now = sound_stream_get_time(pStream);
      EXPECT_GE(i32Now, i32Last);
      EXPECT_LE(i32Now - i32StartMs, ms_since(rStart) + 60);
      if (i32Last == i32StartMs && i32Now != i32StartMs) {
        rMoved = ClockT::now();
      }
      i32Last = i32Now;
    }
    EXPECT_GE(i32Last - i32StartMs, ms_since(rMoved) / 2 - 60);
    return i32Last;
  }
};

TEST(SoundLibraryTest, InitNeedsADeviceAndOrdersTheCalls) {
  EXPECT_EQ(sound_stream_open_file(media("tone.wav").c_str(), SOUND_STREAM_MODE, 0), nullptr);
  EXPECT_EQ(sound_get_error(), SOUND_ERROR_UNINITIALIZED);
  setenv("SDL_AUDIODRIVER", "nonexistent", 1);
  EXPECT_FALSE(sound_init(44100, 32, 0));
  EXPECT_EQ(sound_get_error(), SOUND_ERROR_INIT);

  setenv("SDL_AUDIODRIVER", "dummy", 1);
  sound_set_output(SOUND_OUTPUT_DEFAULT);
  EXPECT_EQ(sound_get_error(), SOUND_ERROR_NONE);
  ASSERT_TRUE(sound_init(44100, 32, 0));
  sound_set_output(SOUND_OUTPUT_DEFAULT);
  EXPECT_EQ(sound_get_error(), SOUND_ERROR_BUSY);
  // An open stream is closed with the library.
  EXPECT_NE(sound_stream_open_file(media("tone.wav").c_str(), SOUND_STREAM_MODE, 0), nullptr);
  sound_close();
  EXPECT_EQ(sound_get_error(), SOUND_ERROR_NONE);
}

TEST_F(SoundStreamTest, MissingAndUndecodableFilesGiveTheirErrors) {
  EXPECT_EQ(sound_stream_open_file(media("absent.mp3").c_str(), SOUND_STREAM_MODE, 0), nullptr);
  EXPECT_EQ(sound_get_error(), SOUND_ERROR_FILE_NOT_FOUND);

  TempFileC rText;
  const std::string sText = "This is a note about the music, not the music.\n";
  rText.write_bytes(std::vector<uint8_t>(sText.begin(), sText.end()));
  TempFileC rNoise;
  std::vector<uint8_t> rBytes(65536);
  uint32_t ui32Seed = 12345;
  for (uint8_t& rByte : rBytes) {
    ui32Seed = ui32Seed * 1103515245u + 12345u;
    rByte = static_cast<uint8_t>(ui32Seed >> 24);
  }
  rNoise.write_bytes(rBytes);
  for (const TempFileC* pFile : {&rText, &rNoise}) {
    EXPECT_EQ(sound_stream_open_file(pFile->path(), SOUND_STREAM_MODE, 0), nullptr);
    EXPECT_EQ(sound_get_error(), SOUND_ERROR_FILE_FORMAT);
  }
}

TEST_F(SoundStreamTest, EveryFormatPlaysAtRealTimePace) {
  TempFileC rModule;
  rModule.write_bytes(square_wave_module());
  std::vector<std::string> rFiles = {media("tone.wav"), media("tone.mp3"), media("tone.ogg"), media("tone.flac"),
                                     media("tone.opus")};
#ifdef TIRAVO_SOUND_HAVE_MODULES
  rFiles.push_back(rModule.path());
#endif
  for (const std::string& sFile : rFiles) {
    SCOPED_TRACE(sFile);
    SoundStreamC* pStream = sound_stream_open_file(sFile.c_str(), SOUND_STREAM_MODE, 0);
    ASSERT_NE(pStream, nullptr) << sound_get_error();
    expect_real_time(pStream, 0, 350);
    sound_stream_close(pStream);
  }
}

TEST_F(SoundStreamTest, StopHoldsThePositionAndSetTimeRestarts) {
  SoundStreamC* pStream = sound_stream_open_file(media("tone.wav").c_str(), SOUND_STREAM_MODE, 0);
  ASSERT_NE(pStream, nullptr);
  expect_real_time(pStream, 0, 300);
  sound_stream_stop(pStream);
  const int32_t i32Stopped = sound_stream_get_time(pStream);
  EXPECT_GT(i32Stopped, 0);
  sleep_ms(100);
  EXPECT_EQ(sound_stream_get_time(pStream), i32Stopped);

  // Back to the start, which is no longer decoded: the decoder must seek.
  expect_real_time(pStream, 0, 250);
}

TEST_F(SoundStreamTest, PositionRunsOnPastTheEndOfTheMusic) {
  SoundStreamC* pStream = sound_stream_open_file(media("short.wav").c_str(), SOUND_STREAM_MODE, 0);
  ASSERT_NE(pStream, nullptr);
  const int32_t i32Last = expect_real_time(pStream, 0, 400);
  const ClockT::time_point rStart = ClockT::now();
  int32_t i32Now = i32Last;
  while (i32Now < 700 && ms_since(rStart) < 5000) {
    sleep_ms(10);
    i32Now = sound_stream_get_time(pStream);
  }
  EXPECT_GE(i32Now, 700);  // the file lasts 300 ms
}

TEST_F(SoundStreamTest, DamagedFilesPlayOnToTheirEnd) {
  for (const char* szName : {"tone.wav", "tone.mp3", "tone.ogg", "tone.flac", "tone.opus"}) {
    std::ifstream rIn(media(szName), std::ios::binary);
    const std::vector<uint8_t> rWhole((std::istreambuf_iterator<char>(rIn)), std::istreambuf_iterator<char>());
    ASSERT_GT(rWhole.size(), 1000u);
    std::vector<uint8_t> rScrambled = rWhole;
    for (size_t uiIndex = 200; uiIndex < rScrambled.size(); uiIndex += 61) {
      rScrambled[uiIndex] ^= 0x5A;
    }
    const std::vector<std::vector<uint8_t>> rVariants = {
        std::vector<uint8_t>(rWhole.begin(), rWhole.begin() + 100),
        std::vector<uint8_t>(rWhole.begin(), rWhole.begin() + static_cast<std::ptrdiff_t>(rWhole.size() * 2 / 5)),
        rScrambled};
    for (size_t uiVariant = 0; uiVariant < rVariants.size(); ++uiVariant) {
      SCOPED_TRACE(std::string(szName) + " variant " + std::to_string(uiVariant));
      TempFileC rFile;
      rFile.write_bytes(rVariants[uiVariant]);
      SoundStreamC* pStream = sound_stream_open_file(rFile.path(), SOUND_STREAM_MODE, 0);
      if (!pStream) {
        EXPECT_TRUE(sound_get_error() == SOUND_ERROR_FILE_FORMAT || sound_get_error() == SOUND_ERROR_FILE_BAD);
        continue;
      }
      // Near the end of the intact tone: whatever is missing or broken, the
      // position must go on past it, and closing must not hang.
      sound_stream_set_time(pStream, 1300);
      EXPECT_GE(sound_stream_play(SOUND_FREE_CHANNEL, pStream), 0);
      const ClockT::time_point rStart = ClockT::now();
      while (sound_stream_get_time(pStream) < 1600 && ms_since(rStart) < 4000) {
        sleep_ms(10);
      }
      EXPECT_GE(sound_stream_get_time(pStream), 1600);
      sound_stream_close(pStream);
    }
  }
}

// What SDL's disk driver wrote: stereo float frames at 44100 Hz, cut into
// the stretches of sound between silences of at least a device buffer.
struct RecordingC {
  std::vector<float> m_rSamples;
  std::vector<std::pair<size_t, size_t>> m_rParts;  // first frame, frame count

  explicit RecordingC(const std::vector<uint8_t>& rBytes) : m_rSamples(rBytes.size() / sizeof(float)) {
    std::memcpy(m_rSamples.data(), rBytes.data(), m_rSamples.size() * sizeof(float));
    size_t uiZeros = 1024;
    for (size_t uiFrame = 0; uiFrame < m_rSamples.size() / 2; ++uiFrame) {
      const bool bSilent = m_rSamples[uiFrame * 2] == 0.0f && m_rSamples[uiFrame * 2 + 1] == 0.0f;
      if (!bSilent && uiZeros >= 1024) {
        m_rParts.emplace_back(uiFrame, 0);
      }
      uiZeros = bSilent ? uiZeros + 1 : 0;
      if (!bSilent) {
        m_rParts.back().second = uiFrame + 1 - m_rParts.back().first;
      }
    }
  }
  float at(size_t uiFrame, int32_t i32Side) const { return m_rSamples[uiFrame * 2 + i32Side]; }
  // The frequency of one side over 200 ms from uiFirst, by its rising zero crossings.
  int32_t frequency(size_t uiFirst, int32_t i32Side) const {
    int32_t i32Rising = 0;
    for (size_t uiFrame = uiFirst + 1; uiFrame < uiFirst + 8820; ++uiFrame) {
      i32Rising += at(uiFrame - 1, i32Side) < 0.0f && at(uiFrame, i32Side) >= 0.0f;
    }
    return i32Rising * 5;
  }
  float peak(size_t uiFirst, size_t uiFrames, int32_t i32Side) const {
    float f32Peak = 0.0f;
    for (size_t uiFrame = uiFirst; uiFrame < uiFirst + uiFrames; ++uiFrame) {
      f32Peak = std::max(f32Peak, std::fabs(at(uiFrame, i32Side)));
    }
    return f32Peak;
  }
};

// The steps file is a mono 48 kHz tone of 440 Hz for one second, 880 Hz for
// the next, at the generator's level of 1/8 (less 3 dB once spread to two sides).
TEST(SoundOutputTest, DeviceGetsTheMusicFromWhereItWasSet) {
  TempFileC rOutput;
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", rOutput.path(), 1);
  ASSERT_TRUE(sound_init(44100, 32, 0));
  SoundStreamC* pStream = sound_stream_open_file(media("steps.wav").c_str(), SOUND_STREAM_MODE, 0);
  ASSERT_NE(pStream, nullptr);
  // Waiting on the recording's growth rather than the clock keeps each part
  // long enough, and the silences between them, on a busy machine too.
  const auto wait_for_frames = [&rOutput](uintmax_t uiFrames) {
    std::error_code rError;
    const uintmax_t uiTarget = std::filesystem::file_size(rOutput.path(), rError) + uiFrames * 2 * sizeof(float);
    const ClockT::time_point rStart = ClockT::now();
    while (std::filesystem::file_size(rOutput.path(), rError) < uiTarget && ms_since(rStart) < 5000) {
      sleep_ms(10);
    }
  };
  for (int32_t i32StartMs : {0, 1200, 200}) {
    sound_stream_set_time(pStream, i32StartMs);
    const int32_t i32Channel = sound_stream_play(SOUND_FREE_CHANNEL, pStream);
    sound_set_pan(i32Channel, i32StartMs == 200 ? 0 : SOUND_PAN_STEREO);
    wait_for_frames(16384);
    sound_stream_stop(pStream);
    wait_for_frames(3072);
  }
  sound_close();

  const RecordingC rRecording(rOutput.read_bytes());
  ASSERT_EQ(rRecording.m_rParts.size(), 3u);
  for (const auto& rPart : rRecording.m_rParts) {
    ASSERT_GT(rPart.second, 8820u);
  }
  // From the start, unpanned.
  const size_t uiFirst = rRecording.m_rParts[0].first;
  for (size_t uiFrame = uiFirst; uiFrame < uiFirst + 8820; ++uiFrame) {
    ASSERT_EQ(rRecording.at(uiFrame, 0), rRecording.at(uiFrame, 1)) << uiFrame;
  }
  EXPECT_NEAR(rRecording.frequency(uiFirst, 0), 440, 10);
  EXPECT_GT(rRecording.peak(uiFirst, 8820, 0), 0.08f);
  EXPECT_LT(rRecording.peak(uiFirst, 8820, 0), 0.13f);
  // Ahead into the second step, within what was decoded.
  EXPECT_NEAR(rRecording.frequency(rRecording.m_rParts[1].first, 0), 880, 20);
  // Back into the first step, which needs a seek; panned fully left.
  const size_t uiBack = rRecording.m_rParts[2].first;
  EXPECT_NEAR(rRecording.frequency(uiBack, 0), 440, 10);
  EXPECT_GT(rRecording.peak(uiBack, 8820, 0), 0.08f);
  EXPECT_EQ(rRecording.peak(uiBack, rRecording.m_rParts[2].second, 1), 0.0f);
}

}  // namespace
