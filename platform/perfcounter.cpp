#include "platform/perfcounter.h"

#include <ctime>

namespace {

int64_t monotonic_ms() {
  timespec rNow{};
  clock_gettime(CLOCK_MONOTONIC, &rNow);
  return static_cast<int64_t>(rNow.tv_sec) * 1000 + rNow.tv_nsec / 1000000;
}

}  // namespace

int64_t counter_now_ms() {
  static const int64_t s_i64Origin = monotonic_ms();
  return monotonic_ms() - s_i64Origin;
}
