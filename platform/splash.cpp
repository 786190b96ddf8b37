#include "platform/splash.h"

#include <cmath>

#include "platform/bitmapfont.h"

namespace {

struct ColourS {
  uint8_t m_ui8Red;
  uint8_t m_ui8Green;
  uint8_t m_ui8Blue;
};

ColourS mix(const ColourS& rFrom, const ColourS& rTo, float f32Amount) {
  auto channel = [f32Amount](uint8_t ui8From, uint8_t ui8To) {
    return static_cast<uint8_t>(std::lround(ui8From + (ui8To - ui8From) * f32Amount));
  };
  return {channel(rFrom.m_ui8Red, rTo.m_ui8Red), channel(rFrom.m_ui8Green, rTo.m_ui8Green),
          channel(rFrom.m_ui8Blue, rTo.m_ui8Blue)};
}

void set_colour(SDL_Renderer* pRenderer, const ColourS& rColour) {
  SDL_SetRenderDrawColor(pRenderer, rColour.m_ui8Red, rColour.m_ui8Green, rColour.m_ui8Blue, 255);
}

void draw_row(SDL_Renderer* pRenderer, int32_t i32Left, int32_t i32Right, int32_t i32Y) {
  SDL_RenderDrawLine(pRenderer, i32Left, i32Y, i32Right, i32Y);
}

const ColourS SKY_TOP = {12, 14, 48};
const ColourS SKY_MIDDLE = {88, 36, 120};
const ColourS SKY_HORIZON = {240, 128, 72};
const ColourS SUN_TOP = {255, 230, 110};
const ColourS SUN_BOTTOM = {255, 60, 150};
const ColourS GROUND = {24, 10, 40};
const ColourS GRID = {230, 60, 200};
const ColourS TITLE = {255, 255, 255};
const ColourS TITLE_SHADOW = {60, 20, 90};
const ColourS SUBTITLE = {220, 200, 255};

void draw_sky(SDL_Renderer* pRenderer, int32_t i32Width, int32_t i32Horizon) {
  for (int32_t i32Y = 0; i32Y < i32Horizon; ++i32Y) {
    float f32Height = static_cast<float>(i32Y) / static_cast<float>(i32Horizon);
    ColourS rColour = f32Height < 0.55f ? mix(SKY_TOP, SKY_MIDDLE, f32Height / 0.55f)
                                        : mix(SKY_MIDDLE, SKY_HORIZON, (f32Height - 0.55f) / 0.45f);
    set_colour(pRenderer, rColour);
    draw_row(pRenderer, 0, i32Width - 1, i32Y);
  }
}

void draw_stars(SDL_Renderer* pRenderer, int32_t i32Width, int32_t i32Horizon) {
  // A fixed seed keeps the sky the same on every start.
  uint32_t ui32Seed = 0x7A1B0u;
  auto next = [&ui32Seed]() {
    ui32Seed = ui32Seed * 1664525u + 1013904223u;
    return ui32Seed >> 8;
  };
  for (int32_t i32Star = 0; i32Star < 70; ++i32Star) {
    int32_t i32X = static_cast<int32_t>(next() % static_cast<uint32_t>(i32Width));
    int32_t i32Y = static_cast<int32_t>(next() % static_cast<uint32_t>(i32Horizon * 11 / 20));
    uint8_t ui8Light = static_cast<uint8_t>(140 + next() % 116);
    SDL_SetRenderDrawColor(pRenderer, ui8Light, ui8Light, 255, 255);
    SDL_RenderDrawPoint(pRenderer, i32X, i32Y);
  }
}

void draw_sun(SDL_Renderer* pRenderer, int32_t i32CentreX, int32_t i32Horizon, int32_t i32Radius) {
  int32_t i32CentreY = i32Horizon - i32Radius / 8;
  int32_t i32StripesFrom = i32CentreY - i32Radius / 3;
  for (int32_t i32Y = i32CentreY - i32Radius; i32Y < i32Horizon; ++i32Y) {
    int32_t i32Offset = i32Y - i32StripesFrom;
    // Gaps that widen towards the horizon.
    if (i32Offset >= 0 && i32Offset % 10 < 1 + i32Offset / 14) {
      continue;
    }
    int32_t i32Dy = i32Y - i32CentreY;
    int32_t i32HalfWidth = static_cast<int32_t>(std::sqrt(static_cast<float>(i32Radius * i32Radius - i32Dy * i32Dy)));
    float f32Amount = static_cast<float>(i32Y - (i32CentreY - i32Radius)) / static_cast<float>(2 * i32Radius);
    set_colour(pRenderer, mix(SUN_TOP, SUN_BOTTOM, f32Amount));
    draw_row(pRenderer, i32CentreX - i32HalfWidth, i32CentreX + i32HalfWidth, i32Y);
  }
}

void draw_ground(SDL_Renderer* pRenderer, int32_t i32Width, int32_t i32Height, int32_t i32CentreX, int32_t i32Horizon) {
  SDL_Rect rGround = {0, i32Horizon, i32Width, i32Height - i32Horizon};
  set_colour(pRenderer, GROUND);
  SDL_RenderFillRect(pRenderer, &rGround);
  set_colour(pRenderer, GRID);
  draw_row(pRenderer, 0, i32Width - 1, i32Horizon);
  // Lines across the ground, further apart as they come closer.
  for (int32_t i32Line = 1;; ++i32Line) {
    int32_t i32Y = i32Horizon + i32Line * i32Line * 3 / 2;
    if (i32Y >= i32Height) {
      break;
    }
    draw_row(pRenderer, 0, i32Width - 1, i32Y);
  }
  // Lines into the distance, meeting below the sun.
  for (int32_t i32Line = -12; i32Line <= 12; ++i32Line) {
    SDL_RenderDrawLine(pRenderer, i32CentreX + i32Line * 8, i32Horizon, i32CentreX + i32Line * 70, i32Height - 1);
  }
}

void draw_title(SDL_Renderer* pRenderer, int32_t i32CentreX, int32_t i32Top) {
  const char* szTitle = "tiravo";
  const int32_t i32Scale = 6;
  int32_t i32Left = i32CentreX - bitmap_font_text_width(szTitle, i32Scale) / 2;
  set_colour(pRenderer, TITLE_SHADOW);
  bitmap_font_draw(pRenderer, i32Left + 3, i32Top + 3, szTitle, i32Scale);
  set_colour(pRenderer, TITLE);
  bitmap_font_draw(pRenderer, i32Left, i32Top, szTitle, i32Scale);

  const char* szSubtitle = "real-time audiovisual presentations";
  int32_t i32SubtitleTop = i32Top + (BITMAP_FONT_GLYPH_HEIGHT - 1) * i32Scale + 10;
  set_colour(pRenderer, SUBTITLE);
  bitmap_font_draw(pRenderer, i32CentreX - bitmap_font_text_width(szSubtitle, 1) / 2, i32SubtitleTop, szSubtitle, 1);
}

}  // namespace

SDL_Surface* create_splash_surface(int32_t i32Width, int32_t i32Height, int32_t i32CentreX) {
  if (i32Width <= 0 || i32Height <= 0) {
    return nullptr;
  }
  SDL_Surface* pSurface = SDL_CreateRGBSurfaceWithFormat(0, i32Width, i32Height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (pSurface == nullptr) {
    return nullptr;
  }
  SDL_Renderer* pRenderer = SDL_CreateSoftwareRenderer(pSurface);
  if (pRenderer == nullptr) {
    SDL_FreeSurface(pSurface);
    return nullptr;
  }
  int32_t i32Horizon = i32Height * 2 / 3;
  draw_sky(pRenderer, i32Width, i32Horizon);
  draw_stars(pRenderer, i32Width, i32Horizon);
  draw_sun(pRenderer, i32CentreX, i32Horizon, i32Height / 4);
  draw_ground(pRenderer, i32Width, i32Height, i32CentreX, i32Horizon);
  draw_title(pRenderer, i32CentreX, i32Height / 8);
  // The software renderer batches its commands; this writes them into the surface.
  SDL_RenderFlush(pRenderer);
  SDL_DestroyRenderer(pRenderer);
  return pSurface;
}
