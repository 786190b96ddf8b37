#include "platform/decoderthreads.h"

#include <algorithm>
#include <cstdint>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/cpu.h>
#include <libavutil/imgutils.h>
}

namespace {

// Smaller pictures decode fast enough on one thread, without the frames of
// delay that frame threads add to every jump.
constexpr int64_t THREADED_PICTURE_PIXELS = 1280 * 720;
// One frame thread more than there are cores, as libavcodec itself would
// choose: while the caller waits for the oldest picture and converts it, the
// others keep every core decoding. Many more only add delay and memory.
constexpr int32_t MAX_DECODER_THREADS = 8;
// Each frame thread holds a picture of its own. The largest pictures a file
// may claim (8192 x 4320 with four 16-bit samples a pixel: 280 MB) get
// fewer threads, so that a damaged header cannot make the threads take
// gigabytes; 4K pictures of 8-bit samples keep all of theirs.
constexpr int64_t PICTURES_IN_FLIGHT_BYTES = int64_t{512} << 20;
// Bytes a pixel takes when the container does not say the pixel format:
// four 16-bit samples, the most any decoder gives.
constexpr int64_t UNKNOWN_PIXEL_BYTES = 8;

int64_t picture_bytes(const AVCodecContext* pCodec) {
  const int32_t i32Known = av_image_get_buffer_size(pCodec->pix_fmt, pCodec->width, pCodec->height, 1);
  return i32Known > 0 ? i32Known : UNKNOWN_PIXEL_BYTES * pCodec->width * pCodec->height;
}

}  // namespace

void decoder_threads_configure(AVCodecContext* pCodec) {
  const int64_t i64Pixels = static_cast<int64_t>(pCodec->width) * pCodec->height;
  int32_t i32Threads = 1;
  int32_t i32Type = FF_THREAD_FRAME | FF_THREAD_SLICE;
  if (i64Pixels >= THREADED_PICTURE_PIXELS) {
    const int64_t i64Cores = std::min<int64_t>(av_cpu_count() + 1, MAX_DECODER_THREADS);
    const int64_t i64Affordable = PICTURES_IN_FLIGHT_BYTES / picture_bytes(pCodec);
    // Slice threads share one picture: where a second picture in flight is
    // too much, they still keep every core decoding.
    if (i64Affordable < 2) {
      i32Type = FF_THREAD_SLICE;
    }
    i32Threads = static_cast<int32_t>(i64Affordable < 2 ? i64Cores : std::min(i64Cores, i64Affordable));
  }
  pCodec->thread_count = i32Threads;
  pCodec->thread_type = i32Type;
}

bool decoder_threads_hold_back(const AVCodecContext* pCodec) {
  return (pCodec->active_thread_type & FF_THREAD_FRAME) != 0;
}
