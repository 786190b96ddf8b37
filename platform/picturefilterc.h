#ifndef PLATFORM_PICTUREFILTERC_H
#define PLATFORM_PICTUREFILTERC_H

#include <cstdint>
#include <string>

struct AVFilterContext;
struct AVFilterGraph;
struct AVFrame;

// Decoded movie pictures made ready to show as players show them, between
// the decoder and the converter:
// - an untagged YCbCr matrix is BT.709 for HD (1280 wide or 720 high and
//   more) and BT.601 below;
// - HDR pictures (PQ or HLG transfer) up to 4096 x 2304 are tone-mapped to
//   SDR BT.709 by libavfilter's zscale (zimg) and tonemap filters;
// - pictures of an interlaced stream, or marked interlaced, are
//   deinterlaced by libavfilter's bwdif, one picture out for each in.
// Other pictures pass as they are. bwdif holds one picture back until the
// next comes, so pictures come out by receive, not at once.
class PictureFilterC {
 public:
  // Pictures' times are in the stream's time base, and keep it.
  PictureFilterC(bool bInterlacedStream, int32_t i32TimeBaseNum, int32_t i32TimeBaseDen);
  PictureFilterC(const PictureFilterC&) = delete;
  PictureFilterC& operator=(const PictureFilterC&) = delete;
  ~PictureFilterC();

  // Takes the decoded picture's references (pPicture is left empty).
  // False when libavfilter cannot take it; the picture is then dropped.
  bool send(AVFrame* pPicture);
  // The decoder is drained: pictures held back may come out.
  void send_end();
  // 0 with the next picture in pPicture, AVERROR(EAGAIN) when the filter
  // needs another picture first, AVERROR_EOF after send_end once all came.
  int32_t receive(AVFrame* pPicture);
  // Forgets held pictures, as after a seek.
  void reset();

 private:
  std::string filters_for(const AVFrame* pPicture);
  // The graph for pictures like this one, or none when they pass or
  // libavfilter refuses it (said once on standard error: the pictures are
  // then shown as decoded rather than not at all).
  void set_up_for(const AVFrame* pPicture);
  bool make_graph(const AVFrame* pPicture);
  void free_graph();

  bool m_bInterlacedStream;
  int32_t m_i32TimeBaseNum;
  int32_t m_i32TimeBaseDen;
  // The picture that passes unfiltered, until it is received.
  AVFrame* m_pHeld = nullptr;
  bool m_bEnded = false;

  // The graph, the filters wanted and the pictures they were set up for.
  AVFilterGraph* m_pGraph = nullptr;
  AVFilterContext* m_pSource = nullptr;
  AVFilterContext* m_pSink = nullptr;
  std::string m_sFilters;
  bool m_bSetUp = false;
  int32_t m_i32Width = 0;
  int32_t m_i32Height = 0;
  int32_t m_i32Format = -1;
  int32_t m_i32Transfer = -1;
  // Once a picture came marked interlaced, the rest are deinterlaced too
  // (bwdif passes those that are not marked).
  bool m_bDeinterlacing = false;
  // A graph libavfilter refused, and HDR pictures too large to tone-map,
  // are said once.
  bool m_bRefusalSaid = false;
  bool m_bLargeHdrSaid = false;
};

#endif
