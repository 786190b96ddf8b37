#ifndef TESTS_SUPPORT_AVIWRITER_H
#define TESTS_SUPPORT_AVIWRITER_H

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/littleendian.h"

// A small AVI writer for the layouts that the ffmpeg command does not write:
// video as the second stream, sound ahead of the first frame, OpenDML files
// with several RIFF parts, palette changes, frames that bring no picture,
// unpadded odd sizes, unfinished files. It writes what it is given and
// checks nothing, so tests can also make damaged files.
namespace AviWriterN {

using BytesT = std::vector<uint8_t>;

enum ChunkKindE { VIDEO_FRAME, AUDIO_SAMPLES, PALETTE_CHANGE };

struct ChunkC {
  ChunkKindE m_eKind;
  BytesT m_rBytes;
  bool m_bKey;
};

struct LayoutC {
  // The video stream's "strf": a bitmap info header and what follows it.
  BytesT m_rVideoFormat;
  uint32_t m_ui32Handler = 0;
  uint32_t m_ui32Rate = 25;
  uint32_t m_ui32Scale = 1;
  // A PCM sound stream, listed before the video when m_bAudioFirst.
  bool m_bAudio = false;
  bool m_bAudioFirst = false;
  std::vector<ChunkC> m_rChunks;
  // The main header's frame count; -1: the video frames of the first part.
  int64_t m_i64HeaderFrames = -1;
  // OpenDML: the chunk numbers at which a new RIFF part ("AVIX") starts.
  // With any, the video stream gets a super index and every part a
  // standard index.
  std::vector<size_t> m_rPartStarts;
  bool m_bOdml = false;
  // idx1 (of the first part), with the key-frame flags, relative offsets.
  bool m_bIdx1 = true;
  bool m_bKeyFlags = true;
  bool m_bAbsoluteIdx1 = false;
  // Odd sizes padded to even, as RIFF requires.
  bool m_bPad = true;
  // A capture stopped by a crash: RIFF and movi sizes never written.
  bool m_bSizesZero = false;
};

inline void put32(BytesT& r, size_t uiAt, uint32_t ui32Value) {
  write_le32(r.data() + uiAt, ui32Value);
}

inline uint32_t get32(const BytesT& r, size_t uiAt) {
  return read_le32(r.data() + uiAt);
}

class WriterC {
 public:
  explicit WriterC(const LayoutC& rLayout) : m_rLayout(rLayout) {}

  BytesT write() {
    const std::string sVideo = m_rLayout.m_bAudio && m_rLayout.m_bAudioFirst ? "01" : "00";
    const std::string sAudio = sVideo == "00" ? "01" : "00";
    m_sVideoId = sVideo;
    m_sAudioId = sAudio;
    std::vector<size_t> rStarts = {0};
    rStarts.insert(rStarts.end(), m_rLayout.m_rPartStarts.begin(), m_rLayout.m_rPartStarts.end());
    rStarts.push_back(m_rLayout.m_rChunks.size());
    const bool bOdml = rStarts.size() > 2 || m_rLayout.m_bOdml;

    const size_t uiRiff = begin("RIFF", "AVI ");
    write_headers(bOdml, rStarts);
    std::vector<FrameAtC> rFirst = write_part(rStarts[0], rStarts[1], bOdml, 0);
    if (m_rLayout.m_bIdx1) {
      write_idx1(rFirst);
    }
    end(uiRiff);
    for (size_t i = 1; i + 1 < rStarts.size(); ++i) {
      const size_t uiPart = begin("RIFF", "AVIX");
      write_part(rStarts[i], rStarts[i + 1], true, i);
      end(uiPart);
    }
    if (m_rLayout.m_bSizesZero) {
      put32(m_rBytes, uiRiff + 4, 0);
    }
    return m_rBytes;
  }

 private:
  struct FrameAtC {
    std::string m_sId;
    size_t m_uiOffset;
    uint32_t m_ui32Size;
    bool m_bKey;
  };

  void u32s(std::initializer_list<uint32_t> rValues) {
    for (uint32_t ui32Value : rValues) {
      m_rBytes.resize(m_rBytes.size() + 4);
      put32(m_rBytes, m_rBytes.size() - 4, ui32Value);
    }
  }
  void text(const std::string& s) { m_rBytes.insert(m_rBytes.end(), s.begin(), s.begin() + 4); }
  size_t begin(const std::string& sId, const char* szType) {
    const size_t uiAt = m_rBytes.size();
    text(sId);
    u32s({0});
    if (szType != nullptr) {
      text(szType);
    }
    return uiAt;
  }
  void end(size_t uiAt) {
    put32(m_rBytes, uiAt + 4, static_cast<uint32_t>(m_rBytes.size() - uiAt - 8));
    if (m_rLayout.m_bPad && m_rBytes.size() % 2 != 0) {
      m_rBytes.push_back(0);
    }
  }

  uint32_t video_frames(size_t uiBegin, size_t uiEnd) const {
    uint32_t ui32Count = 0;
    for (size_t i = uiBegin; i < uiEnd; ++i) {
      ui32Count += m_rLayout.m_rChunks[i].m_eKind == VIDEO_FRAME;
    }
    return ui32Count;
  }

  void write_headers(bool bOdml, const std::vector<size_t>& rStarts) {
    const uint32_t ui32Total = video_frames(0, m_rLayout.m_rChunks.size());
    const size_t uiHeaders = begin("LIST", "hdrl");
    size_t uiAt = begin("avih", nullptr);
    const uint32_t ui32HeaderFrames = m_rLayout.m_i64HeaderFrames >= 0
                                          ? static_cast<uint32_t>(m_rLayout.m_i64HeaderFrames)
                                          : video_frames(rStarts[0], rStarts[1]);
    const uint32_t ui32Width = get32(m_rLayout.m_rVideoFormat, 4);
    const uint32_t ui32Height = get32(m_rLayout.m_rVideoFormat, 8);
    u32s({40000, 0, 0, 0x10, ui32HeaderFrames, 0, m_rLayout.m_bAudio ? 2u : 1u, 0, ui32Width,
          static_cast<uint32_t>(std::abs(static_cast<int32_t>(ui32Height))), 0, 0, 0, 0});
    end(uiAt);
    if (m_rLayout.m_bAudio && m_rLayout.m_bAudioFirst) {
      write_audio_list();
    }
    const size_t uiList = begin("LIST", "strl");
    uiAt = begin("strh", "vids");
    u32s({m_rLayout.m_ui32Handler, 0, 0, 0, m_rLayout.m_ui32Scale, m_rLayout.m_ui32Rate, 0, ui32Total, 0, 0xFFFFFFFF,
          0, 0, 0});
    end(uiAt);
    uiAt = begin("strf", nullptr);
    m_rBytes.insert(m_rBytes.end(), m_rLayout.m_rVideoFormat.begin(), m_rLayout.m_rVideoFormat.end());
    end(uiAt);
    if (bOdml) {
      uiAt = begin("indx", nullptr);
      const uint32_t ui32Parts = static_cast<uint32_t>(rStarts.size() - 1);
      m_rBytes.insert(m_rBytes.end(), {4, 0, 0, 0});
      u32s({ui32Parts});
      text(m_sVideoId + "dc");
      u32s({0, 0, 0});
      m_uiSuperEntries = m_rBytes.size();
      m_rBytes.resize(m_rBytes.size() + 16 * ui32Parts);
      end(uiAt);
    }
    end(uiList);
    if (m_rLayout.m_bAudio && !m_rLayout.m_bAudioFirst) {
      write_audio_list();
    }
    if (bOdml) {
      const size_t uiOdml = begin("LIST", "odml");
      uiAt = begin("dmlh", nullptr);
      u32s({ui32Total});
      end(uiAt);
      end(uiOdml);
    }
    end(uiHeaders);
  }

  void write_audio_list() {
    const size_t uiList = begin("LIST", "strl");
    size_t uiAt = begin("strh", "auds");
    u32s({0, 0, 0, 0, 1, 22050, 0, 0, 0, 0xFFFFFFFF, 2, 0, 0});
    end(uiAt);
    uiAt = begin("strf", nullptr);
    u32s({0x00010001, 22050, 44100, 0x00100002});
    end(uiAt);
    end(uiList);
  }

  std::string chunk_id(const ChunkC& rChunk) const {
    switch (rChunk.m_eKind) {
      case VIDEO_FRAME:
        return m_sVideoId + "dc";
      case AUDIO_SAMPLES:
        return m_sAudioId + "wb";
      case PALETTE_CHANGE:
        return m_sVideoId + "pc";
    }
    return "JUNK";
  }

  std::vector<FrameAtC> write_part(size_t uiBegin, size_t uiEnd, bool bStandardIndex, size_t uiPart) {
    const size_t uiMovi = begin("LIST", "movi");
    m_uiMoviType = uiMovi + 8;
    std::vector<FrameAtC> rChunks;
    for (size_t i = uiBegin; i < uiEnd; ++i) {
      const ChunkC& rChunk = m_rLayout.m_rChunks[i];
      const size_t uiAt = begin(chunk_id(rChunk), nullptr);
      m_rBytes.insert(m_rBytes.end(), rChunk.m_rBytes.begin(), rChunk.m_rBytes.end());
      end(uiAt);
      rChunks.push_back({chunk_id(rChunk), uiAt, static_cast<uint32_t>(rChunk.m_rBytes.size()), rChunk.m_bKey});
    }
    if (bStandardIndex) {
      write_standard_index(rChunks, uiPart);
    }
    end(uiMovi);
    if (m_rLayout.m_bSizesZero) {
      put32(m_rBytes, uiMovi + 4, 0);
    }
    return rChunks;
  }

  void write_standard_index(const std::vector<FrameAtC>& rChunks, size_t uiPart) {
    const size_t uiBase = m_uiMoviType;
    const size_t uiAt = begin("ix" + m_sVideoId, nullptr);
    m_rBytes.insert(m_rBytes.end(), {2, 0, 0, 1});
    uint32_t ui32Frames = 0;
    for (const FrameAtC& rChunk : rChunks) {
      ui32Frames += rChunk.m_sId == m_sVideoId + "dc";
    }
    u32s({ui32Frames});
    text(m_sVideoId + "dc");
    u32s({static_cast<uint32_t>(uiBase), static_cast<uint32_t>(static_cast<uint64_t>(uiBase) >> 32), 0});
    for (const FrameAtC& rChunk : rChunks) {
      if (rChunk.m_sId == m_sVideoId + "dc") {
        u32s({static_cast<uint32_t>(rChunk.m_uiOffset + 8 - uiBase),
              rChunk.m_ui32Size | (rChunk.m_bKey || !m_rLayout.m_bKeyFlags ? 0u : 0x80000000u)});
      }
    }
    end(uiAt);
    const size_t uiEntry = m_uiSuperEntries + 16 * uiPart;
    put32(m_rBytes, uiEntry, static_cast<uint32_t>(uiAt));
    put32(m_rBytes, uiEntry + 4, 0);
    put32(m_rBytes, uiEntry + 8, static_cast<uint32_t>(m_rBytes.size() - uiAt));
    put32(m_rBytes, uiEntry + 12, ui32Frames);
  }

  void write_idx1(const std::vector<FrameAtC>& rChunks) {
    const size_t uiAt = begin("idx1", nullptr);
    for (const FrameAtC& rChunk : rChunks) {
      text(rChunk.m_sId);
      const bool bKey = m_rLayout.m_bKeyFlags && (rChunk.m_bKey || rChunk.m_sId.substr(2) == "wb");
      const size_t uiBase = m_rLayout.m_bAbsoluteIdx1 ? 0 : m_uiMoviType;
      u32s({bKey ? 0x10u : 0u, static_cast<uint32_t>(rChunk.m_uiOffset - uiBase), rChunk.m_ui32Size});
    }
    end(uiAt);
  }

  const LayoutC& m_rLayout;
  BytesT m_rBytes;
  std::string m_sVideoId;
  std::string m_sAudioId;
  size_t m_uiSuperEntries = 0;
  size_t m_uiMoviType = 0;
};

inline BytesT write_avi(const LayoutC& rLayout) {
  return WriterC(rLayout).write();
}

// The video frames and stream format of an AVI file the ffmpeg command
// wrote (one "movi" list, stream 00 the video), to be laid out anew.
struct SourceC {
  BytesT m_rFormat;
  std::vector<ChunkC> m_rFrames;
};

inline SourceC read_source(const BytesT& rFile) {
  SourceC rSource;
  auto find = [&rFile](const char* szText, size_t uiFrom) {
    for (size_t i = uiFrom; i + 4 <= rFile.size(); ++i) {
      if (std::memcmp(&rFile[i], szText, 4) == 0) {
        return i;
      }
    }
    return rFile.size();
  };
  const size_t uiFormat = find("strf", 0);
  rSource.m_rFormat.assign(rFile.begin() + uiFormat + 8, rFile.begin() + uiFormat + 8 + get32(rFile, uiFormat + 4));
  const size_t uiMovi = find("movi", 0);
  const size_t uiIdx1 = find("idx1", uiMovi);
  for (size_t uiAt = uiMovi + 4; uiAt + 8 <= uiIdx1;) {
    const uint32_t ui32Size = get32(rFile, uiAt + 4);
    if (std::memcmp(&rFile[uiAt], "00dc", 4) == 0 || std::memcmp(&rFile[uiAt], "00db", 4) == 0) {
      rSource.m_rFrames.push_back({VIDEO_FRAME, BytesT(rFile.begin() + uiAt + 8, rFile.begin() + uiAt + 8 + ui32Size), false});
    }
    uiAt += 8 + ui32Size + (ui32Size & 1);
  }
  // idx1 holds the key-frame flags, one entry per chunk in order.
  size_t uiFrame = 0;
  for (size_t uiAt = uiIdx1 + 8; uiAt + 16 <= uiIdx1 + 8 + get32(rFile, uiIdx1 + 4); uiAt += 16) {
    if (rFile[uiAt + 2] == 'd' && uiFrame < rSource.m_rFrames.size()) {
      rSource.m_rFrames[uiFrame++].m_bKey = (get32(rFile, uiAt + 4) & 0x10) != 0;
    }
  }
  return rSource;
}

}  // namespace AviWriterN

#endif
