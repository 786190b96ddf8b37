#include "platform/decoderthreads.h"

#include <algorithm>
#include <cstdint>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/cpu.h>
}

namespace {

// Smaller pictures decode fast enough on one thread, without the frames of
// delay that frame threads add to every jump.
constexpr int64_t THREADED_PICTURE_PIXELS = 1280 * 720;
// One frame thread more than there are cores, as libavcodec itself would
// choose: while the caller waits for the oldest picture and converts it, the
// others keep every core decoding. Many more only add delay and memory.
constexpr int32_t MAX_DECODER_THREADS = 8;

}  // namespace

void decoder_threads_configure(AVCodecContext* pCodec) {
  const int64_t i64Pixels = static_cast<int64_t>(pCodec->width) * pCodec->height;
  pCodec->thread_count = i64Pixels >= THREADED_PICTURE_PIXELS ? std::min(av_cpu_count() + 1, MAX_DECODER_THREADS) : 1;
  pCodec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
}

bool decoder_threads_hold_back(const AVCodecContext* pCodec) {
  return (pCodec->active_thread_type & FF_THREAD_FRAME) != 0;
}
