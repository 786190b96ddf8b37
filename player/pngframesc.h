#ifndef PLAYER_PNGFRAMESC_H
#define PLAYER_PNGFRAMESC_H

#include <string>

#include "player/frameoutputc.h"

// Each frame as DIR/frame-NNNNNN.png; the directory must exist.
class PngFramesC : public FrameOutputC {
 public:
  explicit PngFramesC(std::string sDirectory) : m_sDirectory(std::move(sDirectory)) {}

  bool needs_even_size() const override { return false; }
  bool open(const OutputFormatS& rFormat) override;
  bool write_frame(const uint8_t* pRgb, int64_t i64Frame) override;
  bool finish() override { return true; }

 private:
  std::string m_sDirectory;
  int32_t m_i32Width = 0;
  int32_t m_i32Height = 0;
};

#endif
