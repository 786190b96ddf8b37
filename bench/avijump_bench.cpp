// What a jump ahead into an AVI file costs AviReaderC, against a jump of one
// second: with the picture at frame 0 shown, the frames decoded and the time
// taken to show the frame one second ahead, and the frame a GOP less one
// after the middle of the file (the last before a key frame, when key frames
// are a GOP apart from the start). A jump ahead starts at the last key frame before its target, so
// the far jump may cost at most one group of pictures (GOP, the key-frame
// distance the file was written with) more than the near one.
//
// avijump_bench GOP FILE.avi
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/benchfile.h"
#include "platform/videocodec.h"
#include "plugins/video/avireaderc.h"

namespace {

struct JumpCostS {
  uint64_t m_ui64Decoded;
  double m_f64Seconds;
};

// A fresh reader showing frame 0, then the jump; the best time of three.
JumpCostS jump(const std::vector<uint8_t>& rBytes, int32_t i32Target) {
  JumpCostS rBest = {0, 1e30};
  for (int32_t i32Run = 0; i32Run < 3; ++i32Run) {
    AviReaderC rReader;
    rReader.parse(rBytes.data(), static_cast<uint32_t>(rBytes.size()));
    rReader.get_frame(0);
    const uint64_t ui64Before = video_decode_counts().m_ui64Decoded;
    const auto rStart = std::chrono::steady_clock::now();
    rReader.get_frame(i32Target);
    const double f64Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - rStart).count();
    if (f64Seconds < rBest.m_f64Seconds) {
      rBest = {video_decode_counts().m_ui64Decoded - ui64Before, f64Seconds};
    }
  }
  return rBest;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || std::atoi(argv[1]) <= 0) {
    std::fprintf(stderr, "usage: %s GOP FILE.avi\n", argv[0]);
    return 2;
  }
  const uint64_t ui64Gop = static_cast<uint64_t>(std::atoi(argv[1]));
  std::vector<uint8_t> rBytes;
  if (!read_file(argv[2], rBytes)) {
    std::fprintf(stderr, "%s: cannot read\n", argv[2]);
    return 1;
  }
  AviReaderC rReader;
  rReader.parse(rBytes.data(), static_cast<uint32_t>(rBytes.size()));
  const int32_t i32Frames = rReader.get_frame_count();
  const int32_t i32Second = static_cast<int32_t>(std::lround(rReader.get_fps()));
  if (rReader.get_frame(0) == nullptr || i32Second <= 0 || i32Frames <= 2 * i32Second) {
    std::fprintf(stderr, "%s: not decoded, or shorter than two seconds\n", argv[2]);
    return 1;
  }
  const JumpCostS rNear = jump(rBytes, i32Second);
  const int32_t i32Far = std::min(i32Frames - 1, i32Frames / 2 + static_cast<int32_t>(ui64Gop) - 1);
  const JumpCostS rFar = jump(rBytes, i32Far);
  const uint64_t ui64Extra = rFar.m_ui64Decoded > rNear.m_ui64Decoded ? rFar.m_ui64Decoded - rNear.m_ui64Decoded : 0;
  std::printf("%-26s %10s %10s\n", "jump from frame 0 to", "decoded", "ms");
  std::printf("%-26d %10llu %10.2f\n", i32Second, static_cast<unsigned long long>(rNear.m_ui64Decoded),
              rNear.m_f64Seconds * 1000.0);
  std::printf("%-26d %10llu %10.2f\n", i32Far, static_cast<unsigned long long>(rFar.m_ui64Decoded),
              rFar.m_f64Seconds * 1000.0);
  std::printf("far jump: %llu frames more than the near one = %.2f GOP (target at most 1.00); %.2f times its time\n",
              static_cast<unsigned long long>(ui64Extra), static_cast<double>(ui64Extra) / static_cast<double>(ui64Gop),
              rFar.m_f64Seconds / rNear.m_f64Seconds);
  return ui64Extra <= ui64Gop ? 0 : 1;
}
