// Time and memory of parsing AVI files held in memory: AviReaderC::parse
// (index built, decoder opened), the best of several runs, each with a new
// reader; the heap the index of frames, formats and palette changes takes,
// per frame; and all the heap that parsing takes next to the file's size,
// since the bytes must stay in memory once.
//
// aviparse_bench file.avi...
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "bench/benchfile.h"
#include "plugins/video/aviindexc.h"
#include "plugins/video/avireaderc.h"

namespace {

constexpr int32_t RUNS = 5;

// Bytes our own code holds through operator new (the index is a vector).
size_t g_uiNewBytes = 0;

// Bytes in use on the heap, mapped blocks included: the codec libraries'
// allocations too, but small blocks freed and taken again may not show.
size_t heap_in_use() {
  const struct mallinfo2 rInfo = mallinfo2();
  return rInfo.uordblks + rInfo.hblkhd;
}

}  // namespace

void* operator new(size_t uiSize) {
  void* p = std::malloc(uiSize);
  if (p == nullptr) {
    throw std::bad_alloc();
  }
  g_uiNewBytes += malloc_usable_size(p);
  return p;
}

void operator delete(void* p) noexcept {
  g_uiNewBytes -= p != nullptr ? malloc_usable_size(p) : 0;
  std::free(p);
}

void operator delete(void* p, size_t) noexcept {
  operator delete(p);
}

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s file.avi...\n", argv[0]);
    return 2;
  }
  int32_t i32Result = 0;
  std::printf("%-28s %10s %8s %10s %12s %14s\n", "file", "MiB", "frames", "parse ms", "index B/frame",
              "parse heap KiB");
  for (int32_t i = 1; i < argc; ++i) {
    std::vector<uint8_t> rBytes;
    if (!read_file(argv[i], rBytes) || rBytes.size() > UINT32_MAX) {
      std::fprintf(stderr, "%s: cannot read\n", argv[i]);
      i32Result = 1;
      continue;
    }
    const uint32_t ui32Size = static_cast<uint32_t>(rBytes.size());
    double f64Best = 1e30;
    int32_t i32Frames = 0;
    size_t uiParseHeap = 0;
    for (int32_t i32Run = 0; i32Run < RUNS; ++i32Run) {
      const size_t uiBefore = heap_in_use();
      const auto rStart = std::chrono::steady_clock::now();
      AviReaderC rReader;
      rReader.parse(rBytes.data(), ui32Size);
      const double f64Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - rStart).count();
      f64Best = std::min(f64Best, f64Seconds);
      uiParseHeap = heap_in_use() - uiBefore;
      i32Frames = rReader.get_frame_count();
    }
    const size_t uiBefore = g_uiNewBytes;
    AviIndexC rIndex;
    rIndex.build(rBytes.data(), ui32Size);
    const size_t uiIndexHeap = g_uiNewBytes - uiBefore;
    if (i32Frames <= 0) {
      std::fprintf(stderr, "%s: no frames\n", argv[i]);
      i32Result = 1;
      continue;
    }
    const char* szName = std::strrchr(argv[i], '/');
    std::printf("%-28s %10.1f %8d %10.2f %12.1f %14.1f\n", szName != nullptr ? szName + 1 : argv[i],
                static_cast<double>(rBytes.size()) / (1 << 20), i32Frames, f64Best * 1000.0,
                static_cast<double>(uiIndexHeap) / i32Frames, static_cast<double>(uiParseHeap) / 1024.0);
  }
  return i32Result;
}
