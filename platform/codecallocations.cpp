#include "platform/codecallocations.h"

extern "C" {
#include <libavutil/mem.h>
}

void codec_allocations_limit() {
  av_max_alloc(CODEC_ALLOCATION_LIMIT);
}
