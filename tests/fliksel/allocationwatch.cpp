#include "tests/fliksel/allocationwatch.h"

#include <cstdlib>
#include <new>

namespace {

// Each block starts with its size, so delete knows what goes.
constexpr size_t HEADER_SIZE = alignof(std::max_align_t);

size_t g_uLive = 0;
size_t g_uBaseline = 0;
size_t g_uPeak = 0;
size_t g_uLargest = 0;

void* allocate(size_t uSize) noexcept {
  void* pBlock = std::malloc(uSize + HEADER_SIZE);
  if (!pBlock) {
    return nullptr;
  }
  *static_cast<size_t*>(pBlock) = uSize;
  g_uLive += uSize;
  g_uPeak = g_uLive > g_uPeak ? g_uLive : g_uPeak;
  g_uLargest = uSize > g_uLargest ? uSize : g_uLargest;
  return static_cast<char*>(pBlock) + HEADER_SIZE;
}

void* allocate_or_throw(size_t uSize) {
  void* p = allocate(uSize);
  if (!p) {
    throw std::bad_alloc();
  }
  return p;
}

void release(void* p) noexcept {
  if (p) {
    char* pBlock = static_cast<char*>(p) - HEADER_SIZE;
    g_uLive -= *reinterpret_cast<size_t*>(pBlock);
    std::free(pBlock);
  }
}

}  // namespace

namespace AllocationWatchN {

void reset() {
  g_uBaseline = g_uLive;
  g_uPeak = g_uLive;
  g_uLargest = 0;
}

size_t largest_request() {
  return g_uLargest;
}

size_t peak_growth() {
  return g_uPeak - g_uBaseline;
}

}  // namespace AllocationWatchN

// Exported, so that the libraries loaded later bind to these too.
#define WATCHED __attribute__((visibility("default")))

WATCHED void* operator new(size_t uSize) { return allocate_or_throw(uSize); }
WATCHED void* operator new[](size_t uSize) { return allocate_or_throw(uSize); }
WATCHED void* operator new(size_t uSize, const std::nothrow_t&) noexcept { return allocate(uSize); }
WATCHED void* operator new[](size_t uSize, const std::nothrow_t&) noexcept { return allocate(uSize); }
WATCHED void operator delete(void* p) noexcept { release(p); }
WATCHED void operator delete[](void* p) noexcept { release(p); }
WATCHED void operator delete(void* p, size_t) noexcept { release(p); }
WATCHED void operator delete[](void* p, size_t) noexcept { release(p); }
WATCHED void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
WATCHED void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }
