// The OpenGL device driver as the player meets it: loaded from its plug-in
// file, created through its descriptor, drawn with on Mesa's software
// renderer without a display; and the window messages it answers.
#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "corelib/box2c.h"
#include "corelib/classdescc.h"
#include "corelib/devicedriverbasec.h"
#include "corelib/deviceinterfacec.h"
#include "corelib/pluginexports.h"
#include "corelib/rgbacolorc.h"
#include "platform/windowmessage.h"
#include "tests/support/openglpin.h"

namespace {

struct RgbS {
  int32_t m_i32R, m_i32G, m_i32B;
};
const RgbS BLACK{0, 0, 0};
const RgbS RED{255, 0, 0};
const RgbS GREEN{0, 255, 0};
const RgbS BLUE{0, 0, 255};

// How many pixels of an RGB image differ from rExpected(x, row); the first
// difference is reported.
int32_t count_wrong_pixels(const std::vector<uint8_t>& rPixels, int32_t i32Width, int32_t i32Height,
                           const std::function<RgbS(int32_t, int32_t)>& rExpected) {
  int32_t i32Wrong = 0;
  for (int32_t i32Row = 0; i32Row < i32Height; ++i32Row) {
    for (int32_t i32X = 0; i32X < i32Width; ++i32X) {
      const uint8_t* pPixel = &rPixels[(static_cast<size_t>(i32Row) * i32Width + i32X) * 3];
      const RgbS rWant = rExpected(i32X, i32Row);
      if ((pPixel[0] != rWant.m_i32R || pPixel[1] != rWant.m_i32G || pPixel[2] != rWant.m_i32B) &&
          i32Wrong++ == 0) {
        ADD_FAILURE() << "pixel (" << i32X << ", " << i32Row << ") is " << int(pPixel[0]) << "," << int(pPixel[1])
                      << "," << int(pPixel[2]) << ", expected " << rWant.m_i32R << "," << rWant.m_i32G << ","
                      << rWant.m_i32B;
      }
    }
  }
  return i32Wrong;
}

void fill_rect(float f32X0, float f32Y0, float f32X1, float f32Y1, const RgbS& rColor) {
  glColor3ub(rColor.m_i32R, rColor.m_i32G, rColor.m_i32B);
  // One quad, as effects draw.
  glBegin(GL_QUADS);
  glVertex2f(f32X0, f32Y0);
  glVertex2f(f32X1, f32Y0);
  glVertex2f(f32X1, f32Y1);
  glVertex2f(f32X0, f32Y1);
  glEnd();
}

Box2C box(float f32X0, float f32Y0, float f32X1, float f32Y1) {
  return Box2C(Vector2C(f32X0, f32Y0), Vector2C(f32X1, f32Y1));
}

class OpenGLDriverTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // A developer's display must not change the results.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    s_pLibrary = dlopen(OPENGL_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(s_pLibrary, nullptr) << dlerror();
  }
  static void TearDownTestSuite() {
    if (s_pLibrary != nullptr) {
      dlclose(s_pLibrary);
    }
  }
  static void* find(const char* szName) { return s_pLibrary != nullptr ? dlsym(s_pLibrary, szName) : nullptr; }
  static PluginClass::ClassDescC* get_classdesc(int iIndex) {
    auto pGet = reinterpret_cast<PluginClass::ClassDescC* (*)(int)>(find(EXPORT_CLASSDESC));
    return pGet != nullptr ? pGet(iIndex) : nullptr;
  }

  void SetUp() override {
    ASSERT_NE(get_classdesc(0), nullptr);
    m_pDriver = static_cast<DeviceDriverBaseC*>(get_classdesc(0)->make_object());
  }
  void TearDown() override {
    if (m_pDriver != nullptr) {
      m_pDriver->release();
    }
  }

  ViewportInterfaceC* viewport() {
    return static_cast<ViewportInterfaceC*>(m_pDriver->query_interface(SUPERCLASS_VIEWPORT_INTERFACE));
  }
  OffscreenInterfaceC* offscreen() {
    return static_cast<OffscreenInterfaceC*>(m_pDriver->query_interface(SUPERCLASS_OFFSCREEN_INTERFACE));
  }
  SDL_Window* window() { return static_cast<SDL_Window*>(m_pDriver->get_window()); }

  // Opened as the player opens it, at a layout of the given size.
  bool init(bool bOffscreen, int32_t i32Width, int32_t i32Height) {
    offscreen()->set_offscreen(bOffscreen);
    if (!m_pDriver->init_device(nullptr, nullptr, 123, DEVICE_MODE_WINDOWED, i32Width, i32Height, 32, nullptr)) {
      return false;
    }
    pin_opengl_libraries();
    viewport()->set_viewport(box(0, 0, i32Width, i32Height));
    viewport()->set_layout(box(0, 0, i32Width, i32Height));
    return true;
  }
  // The calls of a frame before the effects draw, clearing to rColor.
  void open_frame(const RgbaColorC& rColor) {
    m_pDriver->begin_frame();
    m_pDriver->activate();
    m_pDriver->clear_buffers(DEVICE_CLEAR_ALL, rColor, 1.0f, 0);
    m_pDriver->begin_draw();
  }
  void close_frame() {
    m_pDriver->end_draw();
    m_pDriver->deactivate();
    m_pDriver->end_frame();
  }
  std::vector<uint8_t> read_frame(int32_t i32Width, int32_t i32Height) {
    std::vector<uint8_t> rPixels(static_cast<size_t>(i32Width) * i32Height * 3, 0xAB);
    EXPECT_TRUE(offscreen()->read_frame(rPixels.data()));
    return rPixels;
  }
  // Every queued message handed on as the player does; how many of them quit.
  // SDL ends a round of polls before what was queued during it (a handler's
  // own posts), so the pump goes on until two rounds come up empty.
  int32_t pump_quit_count() {
    int32_t i32Quits = 0;
    WindowMessageS rMessage;
    for (int32_t i32EmptyRounds = 0; i32EmptyRounds < 2;) {
      if (!peek_message(window(), &rMessage)) {
        ++i32EmptyRounds;
        continue;
      }
      i32EmptyRounds = 0;
      dispatch_message(rMessage);
      i32Quits += get_message_id(rMessage) == WINDOW_MESSAGE_QUIT ? 1 : 0;
    }
    return i32Quits;
  }

  static inline void* s_pLibrary = nullptr;
  DeviceDriverBaseC* m_pDriver = nullptr;
};

TEST_F(OpenGLDriverTest, LibraryOffersOneDriverClassUnderTheAcceptedVersion) {
  auto pGetVersion = reinterpret_cast<int (*)()>(find(EXPORT_API_VERSION));
  auto pGetCount = reinterpret_cast<int (*)()>(find(EXPORT_CLASSDESC_COUNT));
  auto pGetName = reinterpret_cast<const char* (*)()>(find(EXPORT_DLL_NAME));
  ASSERT_TRUE(pGetVersion != nullptr && pGetCount != nullptr && pGetName != nullptr);
  EXPECT_EQ(pGetVersion(), 6);
  EXPECT_EQ(pGetCount(), 1);
  EXPECT_NE(std::string(pGetName()).find("OpenGL"), std::string::npos);
  EXPECT_EQ(get_classdesc(1), nullptr);
  EXPECT_EQ(get_classdesc(-1), nullptr);

  PluginClass::ClassDescC* pDesc = get_classdesc(0);
  EXPECT_EQ(pDesc->get_class_ident(), ClassIdentC(0x00000000, 0x00002710));
  EXPECT_EQ(pDesc->get_super_class_ident(), SuperClassIdentC(0x03000001));
  EXPECT_STREQ(pDesc->get_class_name(), "OpenGL Device Driver");
  EXPECT_EQ(pDesc->get_class_kind(), PluginClass::CLASS_KIND_DEVICE_DRIVER);
  EXPECT_EQ(m_pDriver->get_super_class_ident(), SuperClassIdentC(0x03000001));
  EXPECT_EQ(m_pDriver->get_state(), 0) << "no context yet";
  ASSERT_NE(viewport(), nullptr);
  EXPECT_EQ(viewport()->get_super_class_ident(), SuperClassIdentC(0x03000002));
  EXPECT_NE(offscreen(), nullptr);
  EXPECT_EQ(m_pDriver->query_interface(SUPERCLASS_EFFECT), nullptr);
}

TEST_F(OpenGLDriverTest, OffscreenFrameClearsOnlyTheBuffersItsFlagsName) {
  ASSERT_TRUE(init(true, 64, 48));
  EXPECT_EQ(m_pDriver->get_state(), 1);
  EXPECT_NE(SDL_GetWindowFlags(window()) & SDL_WINDOW_HIDDEN, 0u);
  // 0.2, 0.4 and 0.6 of 255 are whole numbers.
  auto rCleared = [](int32_t, int32_t) { return RgbS{51, 102, 153}; };
  open_frame(RgbaColorC(0.2f, 0.4f, 0.6f, 1.0f));
  close_frame();
  EXPECT_EQ(count_wrong_pixels(read_frame(64, 48), 64, 48, rCleared), 0);

  // Depth (2) and stencil (4) alone leave the colour as it was.
  m_pDriver->begin_frame();
  m_pDriver->clear_buffers(0x2 | 0x4, RgbaColorC(1.0f, 1.0f, 1.0f, 1.0f), 0.25f, 3);
  float f32Depth = -1.0f;
  glReadPixels(10, 10, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &f32Depth);
  GLint iStencil = -1;
  glReadPixels(10, 10, 1, 1, GL_STENCIL_INDEX, GL_INT, &iStencil);
  m_pDriver->end_frame();
  EXPECT_NEAR(f32Depth, 0.25f, 1e-6f);
  EXPECT_EQ(iStencil, 3);
  EXPECT_EQ(count_wrong_pixels(read_frame(64, 48), 64, 48, rCleared), 0);
}

TEST_F(OpenGLDriverTest, DrawingUsesLayoutCoordinatesWithYUpwards) {
  ASSERT_TRUE(init(true, 64, 48));
  open_frame(RgbaColorC(0.0f, 0.0f, 0.0f, 0.0f));
  // Before any set_ortho: layout coordinates, a blue block at the bottom left.
  fill_rect(0, 0, 16, 8, BLUE);
  // The layout's rect (8, 20)-(40, 36) shows the unit square: its lower half
  // green, its upper half red.
  viewport()->set_ortho(box(8, 20, 40, 36), 0.0f, 1.0f, 1.0f, 0.0f, -1.0f, 1.0f);
  fill_rect(0, 0, 1, 0.5f, GREEN);
  fill_rect(0, 0.5f, 1, 1, RED);
  close_frame();

  // The top row comes first: a pixel's centre is at layout y = 48 - row - 0.5.
  auto rExpected = [](int32_t i32X, int32_t i32Row) {
    const float f32X = i32X + 0.5f;
    const float f32Y = 48 - i32Row - 0.5f;
    if (f32X > 8 && f32X < 40 && f32Y > 20 && f32Y < 36) {
      return f32Y < 28 ? GREEN : RED;
    }
    return f32X < 16 && f32Y < 8 ? BLUE : BLACK;
  };
  EXPECT_EQ(count_wrong_pixels(read_frame(64, 48), 64, 48, rExpected), 0);
}

// The layout 64 x 48 in a window of another shape: scale 0.5 either way, so
// the picture is 32 x 24, between bars of 12 rows (32 x 48) or 16 columns (64 x 24).
TEST_F(OpenGLDriverTest, WindowKeepsTheLayoutAspectBetweenBlackBars) {
  ASSERT_TRUE(init(false, 64, 48));
  EXPECT_NE(SDL_GetWindowFlags(window()) & SDL_WINDOW_RESIZABLE, 0u);
  struct CaseS {
    int32_t m_i32Width, m_i32Height;
    std::vector<GLint> m_rPicture;  // x, y, width, height; y from the bottom
  };
  for (const CaseS& rCase : {CaseS{32, 48, {0, 12, 32, 24}}, CaseS{64, 24, {16, 0, 32, 24}}}) {
    SCOPED_TRACE(std::to_string(rCase.m_i32Width) + " x " + std::to_string(rCase.m_i32Height));
    SDL_SetWindowSize(window(), rCase.m_i32Width, rCase.m_i32Height);
    EXPECT_EQ(pump_quit_count(), 0);
    int32_t i32Width = 0;
    int32_t i32Height = 0;
    SDL_GL_GetDrawableSize(window(), &i32Width, &i32Height);
    if (i32Width != rCase.m_i32Width || i32Height != rCase.m_i32Height) {
      GTEST_SKIP() << "SDL's video driver here does not resize windows";
    }
    open_frame(RgbaColorC(1.0f, 0.0f, 0.0f, 1.0f));
    std::vector<GLint> rViewport(4);
    glGetIntegerv(GL_VIEWPORT, rViewport.data());
    EXPECT_EQ(rViewport, rCase.m_rPicture);
    // The window's own framebuffer, before the swap leaves it undefined.
    std::vector<uint8_t> rPixels(static_cast<size_t>(i32Width) * i32Height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, i32Width, i32Height, GL_RGB, GL_UNSIGNED_BYTE, rPixels.data());
    close_frame();
    const std::vector<GLint>& rP = rCase.m_rPicture;
    auto rExpected = [&rP](int32_t i32X, int32_t i32Y) {
      return i32X >= rP[0] && i32X < rP[0] + rP[2] && i32Y >= rP[1] && i32Y < rP[1] + rP[3] ? RED : BLACK;
    };
    EXPECT_EQ(count_wrong_pixels(rPixels, i32Width, i32Height, rExpected), 0);
  }
}

// Frames are read back into buffers sized when the image was made: a layout
// set later, here twice as wide, is fitted into the image (64 x 24 between
// bars of 12 rows) instead of resizing it.
TEST_F(OpenGLDriverTest, OffscreenImageKeepsItsSizeWhenTheLayoutChanges) {
  ASSERT_TRUE(init(true, 64, 48));
  viewport()->set_layout(box(0, 0, 128, 48));
  open_frame(RgbaColorC(1.0f, 0.0f, 0.0f, 1.0f));
  close_frame();
  auto rExpected = [](int32_t, int32_t i32Row) { return i32Row >= 12 && i32Row < 36 ? RED : BLACK; };
  EXPECT_EQ(count_wrong_pixels(read_frame(64, 48), 64, 48, rExpected), 0);
}

TEST_F(OpenGLDriverTest, EscapeCloseAndQuitPostTheQuitMessage) {
  ASSERT_TRUE(init(true, 64, 48));
  pump_quit_count();
  const uint32_t ui32Window = SDL_GetWindowID(window());
  SDL_Event rEvent{};
  rEvent.type = SDL_KEYDOWN;
  rEvent.key.windowID = ui32Window;
  rEvent.key.keysym.sym = SDLK_a;
  SDL_PushEvent(&rEvent);
  EXPECT_EQ(pump_quit_count(), 0) << "any key but Escape";
  rEvent.key.keysym.sym = SDLK_ESCAPE;
  rEvent.key.windowID = ui32Window + 100;
  SDL_PushEvent(&rEvent);
  EXPECT_EQ(pump_quit_count(), 0) << "Escape in a window nobody handles";
  rEvent.key.windowID = ui32Window;
  SDL_PushEvent(&rEvent);
  EXPECT_EQ(pump_quit_count(), 1) << "Escape";

  rEvent = SDL_Event{};
  rEvent.type = SDL_WINDOWEVENT;
  rEvent.window.windowID = ui32Window;
  rEvent.window.event = SDL_WINDOWEVENT_CLOSE;
  SDL_PushEvent(&rEvent);
  EXPECT_EQ(pump_quit_count(), 1) << "window closed";
  rEvent = SDL_Event{};
  rEvent.type = SDL_QUIT;
  SDL_PushEvent(&rEvent);
  EXPECT_EQ(pump_quit_count(), 1) << "quit request";

  post_window_message(window(), WINDOW_MESSAGE_QUIT + 1);
  EXPECT_EQ(pump_quit_count(), 0) << "only the quit message has its id";
}

// Counts the quit messages dispatched to its window.
class QuitCounterC : public WindowHandlerC {
 public:
  void handle_message(const SDL_Event& rEvent) override {
    m_i32Quits += rEvent.type == SDL_USEREVENT && rEvent.user.code == static_cast<Sint32>(WINDOW_MESSAGE_QUIT);
  }
  int32_t m_i32Quits = 0;
};

// The pump takes the driver's window's messages; those of another window
// reach their own handler on the way and are not the driver's to quit on.
TEST_F(OpenGLDriverTest, QuitMessagesOfOtherWindowsArePumpedButNotTaken) {
  ASSERT_TRUE(init(true, 64, 48));
  pump_quit_count();
  SDL_Window* pOther = SDL_CreateWindow("other", 0, 0, 16, 16, SDL_WINDOW_HIDDEN);
  ASSERT_NE(pOther, nullptr) << SDL_GetError();
  QuitCounterC rOtherHandler;
  attach_window_handler(pOther, &rOtherHandler);
  post_window_message(pOther, WINDOW_MESSAGE_QUIT);
  post_window_message(nullptr, WINDOW_MESSAGE_QUIT);
  EXPECT_EQ(pump_quit_count(), 0);
  EXPECT_EQ(rOtherHandler.m_i32Quits, 1);
  post_window_message(window(), WINDOW_MESSAGE_QUIT);
  EXPECT_EQ(pump_quit_count(), 1);
  EXPECT_EQ(rOtherHandler.m_i32Quits, 1);
  attach_window_handler(pOther, nullptr);
  SDL_DestroyWindow(pOther);
}

}  // namespace
