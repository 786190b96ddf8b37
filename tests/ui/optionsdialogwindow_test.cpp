#include "platform/optionsdialogwindow.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/optionsdialog.h"

namespace {

// The dialog in pixels at 1.5 px per unit across and 1.625 down, rounded to the
// nearest pixel, worked out by hand: 268 × 176 units.
constexpr int32_t WIDTH = 402;
constexpr int32_t HEIGHT = 286;
// Check box 5,157 50×10; buttons 165,155 and 215,155, 45×15; picture 7,7 267×149.
const SDL_Rect BOX = {8, 255, 75, 16};
const SDL_Rect HAPPY = {248, 252, 68, 24};
const SDL_Rect SAD = {323, 252, 68, 24};
const SDL_Rect PICTURE = {11, 11, 401, 242};

TEST(DialogUnits, MapToTheNearestPixel) {
  EXPECT_EQ(dialog_units_to_pixels_x(268), WIDTH);
  EXPECT_EQ(dialog_units_to_pixels_y(176), HEIGHT);
  for (const SDL_Rect& rPixels : {BOX, HAPPY, SAD, PICTURE}) {
    bool bFound = false;
    for (const DialogControlS& rControl : OPTIONS_DIALOG_CONTROLS) {
      SDL_Rect rMapped = dialog_units_to_pixels(rControl.m_rUnits);
      bFound = bFound || SDL_RectEquals(&rMapped, &rPixels);
    }
    EXPECT_TRUE(bFound) << rPixels.x << "," << rPixels.y << " " << rPixels.w << "x" << rPixels.h;
  }
}

// The dialog drawn by the software renderer into a surface: needs no display.
class DialogCanvasTestC : public testing::Test {
 protected:
  void SetUp() override {
    m_pSurface = SDL_CreateRGBSurfaceWithFormat(0, WIDTH, HEIGHT, 32, SDL_PIXELFORMAT_ARGB8888);
    ASSERT_NE(m_pSurface, nullptr);
    m_pRenderer = SDL_CreateSoftwareRenderer(m_pSurface);
    ASSERT_NE(m_pRenderer, nullptr);
    m_rDialog.handle_message(DIALOG_MESSAGE_INIT, 0);
  }
  void TearDown() override {
    SDL_DestroyRenderer(m_pRenderer);
    SDL_FreeSurface(m_pSurface);
  }

  std::vector<uint32_t> draw(OptionsDialogWindowC& rWindow) {
    rWindow.draw();
    std::vector<uint32_t> rPixels(WIDTH * HEIGHT);
    SDL_RenderReadPixels(m_pRenderer, nullptr, SDL_PIXELFORMAT_ARGB8888, rPixels.data(), WIDTH * 4);
    return rPixels;
  }

  static int32_t count_dark(const std::vector<uint32_t>& rPixels, const SDL_Rect& rArea) {
    int32_t i32Count = 0;
    for (int32_t i32Y = rArea.y; i32Y < rArea.y + rArea.h; ++i32Y) {
      for (int32_t i32X = rArea.x; i32X < rArea.x + rArea.w; ++i32X) {
        uint32_t ui32Pixel = rPixels[i32Y * WIDTH + i32X];
        i32Count += ((ui32Pixel >> 16) & 0xFF) < 100 && ((ui32Pixel >> 8) & 0xFF) < 100 && (ui32Pixel & 0xFF) < 100;
      }
    }
    return i32Count;
  }

  static SDL_Event key(SDL_Keycode i32Key) {
    SDL_Event rEvent{};
    rEvent.type = SDL_KEYDOWN;
    rEvent.key.keysym.sym = i32Key;
    return rEvent;
  }

  static void click(OptionsDialogWindowC& rWindow, const SDL_Rect& rDown, const SDL_Rect& rUp) {
    SDL_Event rEvent{};
    rEvent.type = SDL_MOUSEBUTTONDOWN;
    rEvent.button.button = SDL_BUTTON_LEFT;
    rEvent.button.x = rDown.x + rDown.w / 2;
    rEvent.button.y = rDown.y + rDown.h / 2;
    rWindow.handle_event(rEvent);
    rEvent.type = SDL_MOUSEBUTTONUP;
    rEvent.button.x = rUp.x + rUp.w / 2;
    rEvent.button.y = rUp.y + rUp.h / 2;
    rWindow.handle_event(rEvent);
  }

  SDL_Surface* m_pSurface = nullptr;
  SDL_Renderer* m_pRenderer = nullptr;
  OptionsDialogC m_rDialog;
};

TEST_F(DialogCanvasTestC, DrawsTheTickOnlyWhenChecked) {
  OptionsDialogWindowC rWindow(m_pRenderer, m_rDialog);
  // The box sits at the left of its control, before the text.
  SDL_Rect rBoxSquare = {BOX.x, BOX.y, BOX.h, BOX.h};
  int32_t i32Checked = count_dark(draw(rWindow), rBoxSquare);
  m_rDialog.set_check(DIALOG_CONTROL_FULLSCREEN, DIALOG_CHECK_UNCHECKED);
  int32_t i32Unchecked = count_dark(draw(rWindow), rBoxSquare);
  // Two strokes two pixels thick, well over ten pixels.
  EXPECT_GE(i32Checked - i32Unchecked, 10);
}

TEST_F(DialogCanvasTestC, DrawsThePictureAndTheLabels) {
  OptionsDialogWindowC rWindow(m_pRenderer, m_rDialog);
  std::vector<uint32_t> rPixels = draw(rWindow);
  std::set<uint32_t> rColours;
  for (int32_t i32Y = PICTURE.y; i32Y < PICTURE.y + PICTURE.h; ++i32Y) {
    for (int32_t i32X = PICTURE.x; i32X < WIDTH - 1; ++i32X) {
      rColours.insert(rPixels[i32Y * WIDTH + i32X]);
    }
  }
  EXPECT_GT(rColours.size(), 50u);
  // Each button's middle holds its dark label, away from the edges.
  for (const SDL_Rect& rButton : {HAPPY, SAD}) {
    EXPECT_GT(count_dark(rPixels, {rButton.x + 5, rButton.y + 5, rButton.w - 10, rButton.h - 10}), 10);
  }
}

TEST_F(DialogCanvasTestC, KeysBecomeCommands) {
  {
    OptionsDialogWindowC rWindow(m_pRenderer, m_rDialog);
    rWindow.handle_event(key(SDLK_ESCAPE));
    EXPECT_EQ(m_rDialog.get_result(), DIALOG_RESULT_SAD);
  }
  {
    OptionsDialogC rDialog;
    rDialog.handle_message(DIALOG_MESSAGE_INIT, 0);
    OptionsDialogWindowC rWindow(m_pRenderer, rDialog);
    rWindow.handle_event(key(SDLK_SPACE));  // the box has the focus first
    rWindow.handle_event(key(SDLK_RETURN));
    EXPECT_EQ(rDialog.get_result(), DIALOG_RESULT_HAPPY);
    EXPECT_FALSE(rDialog.get_fullscreen());
  }
  {
    // Two tabs reach "Sad", which then takes Enter.
    OptionsDialogC rDialog;
    OptionsDialogWindowC rWindow(m_pRenderer, rDialog);
    rWindow.handle_event(key(SDLK_TAB));
    rWindow.handle_event(key(SDLK_TAB));
    rWindow.handle_event(key(SDLK_RETURN));
    EXPECT_EQ(rDialog.get_result(), DIALOG_RESULT_SAD);
  }
}

TEST_F(DialogCanvasTestC, ClicksAndClosingBecomeCommands) {
  {
    OptionsDialogWindowC rWindow(m_pRenderer, m_rDialog);
    click(rWindow, SAD, PICTURE);  // let go elsewhere: no click
    EXPECT_FALSE(m_rDialog.is_ended());
    click(rWindow, BOX, BOX);
    EXPECT_EQ(m_rDialog.get_check(DIALOG_CONTROL_FULLSCREEN), DIALOG_CHECK_UNCHECKED);
    click(rWindow, BOX, BOX);
    click(rWindow, HAPPY, HAPPY);
    EXPECT_EQ(m_rDialog.get_result(), DIALOG_RESULT_HAPPY);
    EXPECT_TRUE(m_rDialog.get_fullscreen());
  }
  {
    OptionsDialogC rDialog;
    OptionsDialogWindowC rWindow(m_pRenderer, rDialog);
    SDL_Event rEvent{};
    rEvent.type = SDL_WINDOWEVENT;
    rEvent.window.event = SDL_WINDOWEVENT_CLOSE;
    rWindow.handle_event(rEvent);
    EXPECT_EQ(rDialog.get_result(), DIALOG_RESULT_SAD);
  }
}

// The real event loop in a window of SDL's offscreen video driver, fed by events
// pushed onto SDL's queue.
class DialogLoopTestC : public testing::Test {
 protected:
  void SetUp() override {
    SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
    // Keeps the window's pixels in memory instead of a GL texture, so no GL
    // library gets loaded (and its allocations reported as leaks).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      GTEST_SKIP() << "no offscreen video driver: " << SDL_GetError();
    }
    m_bInitialised = true;
    m_pWindow = SDL_CreateWindow("test", 0, 0, WIDTH, HEIGHT, SDL_WINDOW_HIDDEN);
    if (m_pWindow != nullptr) {
      m_pRenderer = SDL_CreateRenderer(m_pWindow, -1, SDL_RENDERER_SOFTWARE);
    }
    if (m_pRenderer == nullptr) {
      GTEST_SKIP() << "no offscreen window: " << SDL_GetError();
    }
  }
  void TearDown() override {
    if (m_pRenderer != nullptr) {
      SDL_DestroyRenderer(m_pRenderer);
    }
    if (m_pWindow != nullptr) {
      SDL_DestroyWindow(m_pWindow);
    }
    if (m_bInitialised) {
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
  }

  int32_t run_with_key(SDL_Keycode i32Key, OptionsDialogC& rDialog) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_Event rEvent{};
    rEvent.type = SDL_KEYDOWN;
    rEvent.key.windowID = SDL_GetWindowID(m_pWindow);
    rEvent.key.keysym.sym = i32Key;
    SDL_PushEvent(&rEvent);
    return run_options_dialog_in(m_pWindow, m_pRenderer, rDialog);
  }

  bool m_bInitialised = false;
  SDL_Window* m_pWindow = nullptr;
  SDL_Renderer* m_pRenderer = nullptr;
};

TEST_F(DialogLoopTestC, EnterIsHappyWithTheBoxCheckedAndEscapeIsSad) {
  OptionsDialogC rHappy;
  EXPECT_EQ(run_with_key(SDLK_RETURN, rHappy), DIALOG_RESULT_HAPPY);
  EXPECT_TRUE(rHappy.get_fullscreen());
  OptionsDialogC rSad;
  EXPECT_EQ(run_with_key(SDLK_ESCAPE, rSad), DIALOG_RESULT_SAD);
}

}  // namespace
