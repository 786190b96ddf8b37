#include "platform/codecsettings.h"

extern "C" {
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

void codec_allocations_limit() {
  av_max_alloc(CODEC_ALLOCATION_LIMIT);
}

void codec_log_errors_only() {
  av_log_set_level(AV_LOG_ERROR);
}
