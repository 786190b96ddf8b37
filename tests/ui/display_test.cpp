#include "platform/display.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The depth handed to the graphics device is what a pixel takes on the
// screen, not the colour bits SDL counts: 32 for the usual desktop.
TEST(DisplayDepth, IsTheBitsEachPixelTakes) {
  EXPECT_EQ(32, pixel_format_bits_per_pixel(SDL_PIXELFORMAT_RGB888));
  EXPECT_EQ(32, pixel_format_bits_per_pixel(SDL_PIXELFORMAT_ARGB8888));
  EXPECT_EQ(32, pixel_format_bits_per_pixel(SDL_PIXELFORMAT_ARGB2101010));
  EXPECT_EQ(24, pixel_format_bits_per_pixel(SDL_PIXELFORMAT_RGB24));
  EXPECT_EQ(16, pixel_format_bits_per_pixel(SDL_PIXELFORMAT_RGB565));
  EXPECT_EQ(16, pixel_format_bits_per_pixel(SDL_PIXELFORMAT_RGB555));
  EXPECT_EQ(8, pixel_format_bits_per_pixel(SDL_PIXELFORMAT_INDEX8));
  EXPECT_EQ(4, pixel_format_bits_per_pixel(SDL_PIXELFORMAT_INDEX4LSB));
  EXPECT_EQ(0, pixel_format_bits_per_pixel(SDL_PIXELFORMAT_YV12));
}

TEST(DisplayDepth, WithoutADisplayIs32) {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  EXPECT_EQ(32, display_bits_per_pixel());
}

}  // namespace
