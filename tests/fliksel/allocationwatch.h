#ifndef TESTS_FLIKSEL_ALLOCATIONWATCH_H
#define TESTS_FLIKSEL_ALLOCATIONWATCH_H

#include <cstddef>

// Watches every operator new of the process, the plug-in libraries' too (the
// test program's replacements interpose theirs): the largest single request
// and the most bytes alive at once since the last reset.
namespace AllocationWatchN {

void reset();
size_t largest_request();
// Bytes alive at the peak minus those alive at the reset.
size_t peak_growth();

}  // namespace AllocationWatchN

#endif
