// Frames per second of the readers decoding and converting every frame of
// video files (AviReaderC for .avi, MovieReaderC with its read-ahead for the
// others), next to the ffmpeg command doing the same (one thread for
// decoding and one for converting, into the readers' pixels: 24-bit BGR for
// AVI, 32-bit RGBA for movies) on the same files in the same run. The
// readers decode pictures of 1280 x 720 and more on libavcodec's threads. After that first pass, for AVI files: the most
// frames that one backward jump decoded.
//
// videodecode_bench [--loops N] [--no-key-flags] FILE...
//   --no-key-flags: the reader gets AVI files with the key-frame flags of
//   their idx1 cleared, as from writers that set none.
#include <strings.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/benchfile.h"
#include "platform/videocodec.h"
#include "plugins/video/avireaderc.h"
#include "plugins/video/moviereaderc.h"

namespace {

constexpr int32_t RUNS = 3;

bool is_avi(const char* szPath) {
  const size_t uiLength = std::strlen(szPath);
  return uiLength >= 4 && strcasecmp(szPath + uiLength - 4, ".avi") == 0;
}

std::unique_ptr<VideoReaderC> make_reader(bool bAvi) {
  if (bAvi) {
    return std::make_unique<AviReaderC>();
  }
  return std::make_unique<MovieReaderC>();
}

// Seconds for i32Loops passes over every frame, the best of RUNS; each run
// starts with a fresh reader, as a newly loaded document would.
double time_reader(const std::vector<uint8_t>& rBytes, bool bAvi, int32_t i32Loops, int32_t& rFrames) {
  double f64Best = 1e30;
  for (int32_t i32Run = 0; i32Run < RUNS; ++i32Run) {
    const auto rStart = std::chrono::steady_clock::now();
    const std::unique_ptr<VideoReaderC> pReader = make_reader(bAvi);
    VideoReaderC& rReader = *pReader;
    rReader.parse(rBytes.data(), static_cast<uint32_t>(rBytes.size()));
    rFrames = rReader.get_frame_count();
    uint64_t ui64Sum = 0;
    for (int32_t i32Loop = 0; i32Loop < i32Loops; ++i32Loop) {
      for (int32_t i = 0; i < rFrames; ++i) {
        const uint8_t* pPixels = rReader.get_frame(i);
        if (pPixels == nullptr) {
          rFrames = 0;
          return 0.0;
        }
        ui64Sum += pPixels[0];
      }
    }
    const double f64Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - rStart).count();
    // Keeps the reads of the pixels from being optimised away.
    if (ui64Sum == 1) {
      std::puts("");
    }
    f64Best = std::min(f64Best, f64Seconds);
  }
  return f64Best;
}

void clear_idx1_key_flags(std::vector<uint8_t>& rBytes) {
  const char* const szIdx1 = "idx1";
  const auto it = std::search(rBytes.begin(), rBytes.end(), szIdx1, szIdx1 + 4);
  if (it == rBytes.end() || rBytes.end() - it < 8) {
    return;
  }
  const size_t uiAt = static_cast<size_t>(it - rBytes.begin()) + 8;
  const size_t uiSize = rBytes[uiAt - 4] | (rBytes[uiAt - 3] << 8) | (rBytes[uiAt - 2] << 16) |
                        (static_cast<size_t>(rBytes[uiAt - 1]) << 24);
  for (size_t uiEntry = uiAt; uiEntry + 16 <= std::min(rBytes.size(), uiAt + uiSize); uiEntry += 16) {
    rBytes[uiEntry + 4] &= static_cast<uint8_t>(~0x10);
  }
}

// After one pass over every frame, the most frames decoded for one jump
// back, over jumps to every 7th frame from the end.
uint64_t worst_backward_jump(const std::vector<uint8_t>& rBytes) {
  AviReaderC rReader;
  rReader.parse(rBytes.data(), static_cast<uint32_t>(rBytes.size()));
  const int32_t i32Frames = rReader.get_frame_count();
  for (int32_t i = 0; i < i32Frames; ++i) {
    rReader.get_frame(i);
  }
  uint64_t ui64Worst = 0;
  for (int32_t i = i32Frames - 2; i >= 0; i -= 7) {
    rReader.get_frame(i + 1);
    const uint64_t ui64Before = video_decode_counts().m_ui64Decoded;
    rReader.get_frame(i);
    ui64Worst = std::max(ui64Worst, video_decode_counts().m_ui64Decoded - ui64Before);
  }
  return ui64Worst;
}

// Seconds the ffmpeg command reports for its own decoding ("rtime" of
// -benchmark, which leaves out its start-up), the best of RUNS; 0 on failure.
double time_ffmpeg(const char* szPath, const char* szPixels, int32_t i32Loops) {
  const std::string sCommand = "ffmpeg -hide_banner -nostdin -nostats -loglevel info -benchmark -threads 1 "
                               "-filter_threads 1 -stream_loop " +
                               std::to_string(i32Loops - 1) + " -i '" + szPath +
                               "' -pix_fmt " + szPixels + " -f null - 2>&1";
  double f64Best = 1e30;
  for (int32_t i32Run = 0; i32Run < RUNS; ++i32Run) {
    FILE* pPipe = popen(sCommand.c_str(), "r");
    if (pPipe == nullptr) {
      return 0.0;
    }
    double f64Seconds = 0.0;
    char rLine[512];
    while (std::fgets(rLine, sizeof(rLine), pPipe) != nullptr) {
      const char* pAt = std::strstr(rLine, "rtime=");
      if (pAt != nullptr) {
        f64Seconds = std::atof(pAt + 6);
      }
    }
    if (pclose(pPipe) != 0 || f64Seconds <= 0.0) {
      return 0.0;
    }
    f64Best = std::min(f64Best, f64Seconds);
  }
  return f64Best;
}

}  // namespace

int main(int argc, char** argv) {
  int32_t i32Loops = 10;
  int32_t i32First = 1;
  if (argc > 2 && std::strcmp(argv[1], "--loops") == 0) {
    i32Loops = std::max(1, std::atoi(argv[2]));
    i32First = 3;
  }
  const bool bNoKeyFlags = i32First < argc && std::strcmp(argv[i32First], "--no-key-flags") == 0;
  i32First += bNoKeyFlags ? 1 : 0;
  if (i32First >= argc) {
    std::fprintf(stderr, "usage: %s [--loops N] [--no-key-flags] FILE...\n", argv[0]);
    return 2;
  }
  int32_t i32Result = 0;
  std::printf("%-28s %8s %12s %12s %7s %10s\n", "file", "frames", "reader fps", "ffmpeg fps", "ratio", "max back");
  for (int32_t i = i32First; i < argc; ++i) {
    std::vector<uint8_t> rBytes;
    int32_t i32Frames = 0;
    if (!read_file(argv[i], rBytes)) {
      std::fprintf(stderr, "%s: cannot read\n", argv[i]);
      i32Result = 1;
      continue;
    }
    const bool bAvi = is_avi(argv[i]);
    if (bNoKeyFlags && bAvi) {
      clear_idx1_key_flags(rBytes);
    }
    const double f64Reader = time_reader(rBytes, bAvi, i32Loops, i32Frames);
    const double f64Ffmpeg = time_ffmpeg(argv[i], bAvi ? "bgr24" : "rgba", i32Loops);
    if (i32Frames <= 0 || f64Reader <= 0.0 || f64Ffmpeg <= 0.0) {
      std::fprintf(stderr, "%s: not decoded\n", argv[i]);
      i32Result = 1;
      continue;
    }
    const double f64Decoded = static_cast<double>(i32Frames) * i32Loops;
    const double f64ReaderFps = f64Decoded / f64Reader;
    const double f64FfmpegFps = f64Decoded / f64Ffmpeg;
    const char* szName = std::strrchr(argv[i], '/');
    const std::string sWorstJump = bAvi ? std::to_string(worst_backward_jump(rBytes)) : "-";
    std::printf("%-28s %8d %12.1f %12.1f %7.2f %10s\n", szName != nullptr ? szName + 1 : argv[i], i32Frames,
                f64ReaderFps, f64FfmpegFps, f64ReaderFps / f64FfmpegFps, sWorstJump.c_str());
  }
  return i32Result;
}
