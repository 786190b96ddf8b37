#ifndef PLATFORM_PERFCOUNTER_H
#define PLATFORM_PERFCOUNTER_H

#include <cstdint>

// Milliseconds of a monotonic clock, counted from the first call in this
// process, so the value stays small however long the machine has been up.
int64_t counter_now_ms();

#endif
