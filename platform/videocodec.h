#ifndef PLATFORM_VIDEOCODEC_H
#define PLATFORM_VIDEOCODEC_H

#include <cstdint>

#include "platform/pictureconverterc.h"

// Decompressors for the frames of AVI video streams. Formats are given as
// bitmap info headers (a 40-byte DIB header whose first uint32 is its own
// size) possibly followed by codec data; the output is always 24-bit BGR,
// rows top first (a negative height in the output format), each row padded
// to a multiple of 4 bytes.
//
// Decoders of streams with B-frames hold pictures back and give them in
// display order, which is not the order of the frames: the picture a call
// gives may be an earlier frame's; so do large pictures, which decode on
// libavcodec's frame threads (platform/decoderthreads.h). Every frame
// therefore carries a tag, and every picture that comes out reports the tag
// of the frame it came from.

class VideoDecompressorC;

// The bitmap info header without codec data: the least an input format holds.
constexpr uint32_t BITMAP_HEADER_SIZE = 40;
// Bytes past the end of the picture that pOut must have room for.
constexpr uint32_t VIDEO_OUTPUT_PADDING = PICTURE_PADDING;

// Decode the frame but do not convert the picture that comes out.
constexpr uint32_t VIDEO_DECOMPRESS_PREROLL = 0x20000000;

enum VideoDecompressResultE : int32_t {
  VIDEO_DECOMPRESS_PICTURE = 0,     // a picture came out; its tag was stored
  VIDEO_DECOMPRESS_NO_PICTURE = 1,  // nothing ready yet (or nothing left)
  VIDEO_DECOMPRESS_ERROR = 2        // the decoder refused the frame
};

// A decompressor for the stream, found from the input format's compression
// fourcc and else from the stream's handler fourcc; null when no installed
// decoder handles the input or the output is not 24-bit BGR top first.
VideoDecompressorC* video_decompressor_locate(uint32_t ui32Handler, const uint8_t* pInputFormat,
                                              uint32_t ui32InputSize, const uint8_t* pOutputFormat,
                                              uint32_t ui32OutputSize);
// Starts a session: whatever the decoder held back is dropped, and the next
// frame must be one that decodes without its predecessors.
void video_decompressor_begin(VideoDecompressorC* pDecompressor);
// Hands one compressed frame to the decoder and takes the first picture that
// is ready. Without VIDEO_DECOMPRESS_PREROLL that picture is converted into
// pOut, which holds the output format's rows plus VIDEO_OUTPUT_PADDING
// bytes. A frame of 0 bytes is not decoded ("no change"): NO_PICTURE.
int32_t video_decompressor_decompress(VideoDecompressorC* pDecompressor, uint32_t ui32Flags, const uint8_t* pData,
                                      uint32_t ui32Size, int64_t i64Tag, uint8_t* pOut, int64_t* pi64PictureTag);
// Takes a further picture without handing in a frame; the caller takes
// pictures until NO_PICTURE before it hands in the next frame.
int32_t video_decompressor_take(VideoDecompressorC* pDecompressor, uint32_t ui32Flags, uint8_t* pOut,
                                int64_t* pi64PictureTag);
// No more frames follow: the pictures held back come out through take.
void video_decompressor_finish(VideoDecompressorC* pDecompressor);
// Converts the last picture taken into pOut; false when there is none.
bool video_decompressor_convert(VideoDecompressorC* pDecompressor, uint8_t* pOut);
// Converts the picture taken before the last one, for a frame whose own
// picture never came; false when there is none.
bool video_decompressor_convert_previous(VideoDecompressorC* pDecompressor, uint8_t* pOut);
// True when every frame of this codec decodes without its predecessors.
bool video_decompressor_intra_only(const VideoDecompressorC* pDecompressor);
// True when the last picture taken is one that decoding can start from, as
// its decoder reports it (an intra picture marked as a key frame).
bool video_decompressor_key_picture(const VideoDecompressorC* pDecompressor);
// True when the last picture taken is a B-picture: shown before frames that
// were decoded ahead of it.
bool video_decompressor_b_picture(const VideoDecompressorC* pDecompressor);
// How many pictures the stream's reordering holds back (0 without B-frames),
// as far as the decoder knows it: writers delay decode times by as many
// frames, so that no picture is due before it is decoded.
int32_t video_decompressor_reorder_depth(const VideoDecompressorC* pDecompressor);
// Replaces ui32Count colour table entries from ui32First (red, green, blue,
// unused: 4 bytes each) for the frames handed in from now on; entries past
// the table's 256 are dropped. begin goes back to the input format's table.
void video_decompressor_change_palette(VideoDecompressorC* pDecompressor, uint32_t ui32First, uint32_t ui32Count,
                                       const uint8_t* pEntries);
// True when the codec may give a frame's picture later than the frame (B-frames);
// otherwise each frame's picture comes out of the call that hands it in.
bool video_decompressor_holds_back(const VideoDecompressorC* pDecompressor);
// Ends the session; the decompressor stays usable for another begin.
void video_decompressor_end(VideoDecompressorC* pDecompressor);
void video_decompressor_close(VideoDecompressorC* pDecompressor);

// Frames handed to any decoder and pictures converted, since the program
// started: what a caller's decoding cost, measured from outside.
struct VideoDecodeCountsC {
  uint64_t m_ui64Decoded;
  uint64_t m_ui64Converted;
};
VideoDecodeCountsC video_decode_counts();

#endif
