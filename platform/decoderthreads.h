#ifndef PLATFORM_DECODERTHREADS_H
#define PLATFORM_DECODERTHREADS_H

struct AVCodecContext;

// Sets how many threads a decoder about to be opened uses, from the picture
// size in its context: pictures of 1280 x 720 and more decode on libavcodec's
// threads (frame threads where the codec has them, else slice threads),
// smaller ones on the caller's thread alone; the very largest on fewer
// frame threads, since each holds a picture, and on slice threads only
// where even two pictures would be too much. Frame threads give every picture
// exactly as one thread would and in the same order, a few calls later.
void decoder_threads_configure(AVCodecContext* pCodec);

// True when the opened decoder runs frame threads, which hold pictures back.
bool decoder_threads_hold_back(const AVCodecContext* pCodec);

#endif
