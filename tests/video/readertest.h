#ifndef TESTS_VIDEO_READERTEST_H
#define TESTS_VIDEO_READERTEST_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform/littleendian.h"
#include "platform/videocodec.h"
#include "plugins/video/avireaderc.h"


using BytesT = std::vector<uint8_t>;

inline BytesT read_file(const std::string& sName) {
  std::ifstream rFile(TIRAVO_VIDEO_MEDIA_DIR "/" + sName, std::ios::binary);
  return BytesT(std::istreambuf_iterator<char>(rFile), std::istreambuf_iterator<char>());
}

inline uint32_t get32(const BytesT& r, size_t uiAt) {
  return read_le32(r.data() + uiAt);
}

inline void set32(BytesT& r, size_t uiAt, uint32_t ui32Value) {
  write_le32(r.data() + uiAt, ui32Value);
}

inline size_t find_text(const BytesT& r, const char* szText) {
  return static_cast<size_t>(std::search(r.begin(), r.end(), szText, szText + std::strlen(szText)) - r.begin());
}

inline uint64_t decoded() {
  return video_decode_counts().m_ui64Decoded;
}

// A file, the pictures it must show (24-bit BGR, rows top first, unpadded)
// and a reader over it.
struct VideoC {
  BytesT m_rFile;
  BytesT m_rExpected;
  AviReaderC m_rReader;

  VideoC(BytesT rFile, BytesT rExpected) : m_rFile(std::move(rFile)), m_rExpected(std::move(rExpected)) {
    m_rReader.parse(m_rFile.data(), static_cast<uint32_t>(m_rFile.size()));
  }
  size_t picture_size() {
    return static_cast<size_t>(m_rReader.get_width()) * m_rReader.get_height() * 3;
  }
  // Asking for frame i32Request shows expected picture i32Picture (by
  // default the same number); the reader's rows are padded to 4 bytes.
  ::testing::AssertionResult shows(int32_t i32Request, int32_t i32Picture = -1) {
    i32Picture = i32Picture < 0 ? i32Request : i32Picture;
    const uint8_t* pPixels = m_rReader.get_frame(i32Request);
    if (pPixels == nullptr) {
      return ::testing::AssertionFailure() << "no picture for frame " << i32Request;
    }
    if ((static_cast<size_t>(i32Picture) + 1) * picture_size() > m_rExpected.size()) {
      return ::testing::AssertionFailure() << "no expected picture " << i32Picture;
    }
    const size_t uiRow = static_cast<size_t>(m_rReader.get_width()) * 3;
    const uint8_t* pExpected = m_rExpected.data() + i32Picture * picture_size();
    for (int32_t y = 0; y < m_rReader.get_height(); ++y) {
      if (std::memcmp(pPixels + y * ((uiRow + 3) & ~size_t(3)), pExpected + y * uiRow, uiRow) != 0) {
        return ::testing::AssertionFailure() << "frame " << i32Request << " differs in row " << y;
      }
    }
    return ::testing::AssertionSuccess();
  }
  // Every frame in order, at random and after backward jumps.
  ::testing::AssertionResult plays_exactly() {
    const int32_t i32Count = m_rReader.get_frame_count();
    if (i32Count <= 0 || m_rExpected.size() != static_cast<size_t>(i32Count) * picture_size()) {
      return ::testing::AssertionFailure() << i32Count << " frames, " << m_rExpected.size() << " bytes expected";
    }
    for (int32_t i = 0; i < i32Count; ++i) {
      if (!shows(i)) {
        return shows(i);
      }
    }
    uint32_t ui32State = 12345;  // a fixed pseudo-random walk
    for (int32_t k = 0; k < 30; ++k) {
      ui32State = ui32State * 1103515245u + 12345u;
      const int32_t i32Frame = static_cast<int32_t>((ui32State >> 16) % static_cast<uint32_t>(i32Count));
      if (!shows(i32Frame)) {
        return shows(i32Frame);
      }
    }
    for (int32_t i32Step = 1; i32Step < i32Count; i32Step += std::max(1, i32Count / 6)) {
      if (!shows(i32Count - 1) || !shows(i32Count - 1 - i32Step)) {
        return ::testing::AssertionFailure() << "after a jump back by " << i32Step;
      }
    }
    return ::testing::AssertionSuccess();
  }
};

#endif
