#ifndef PLUGINS_OPENGL_OPENGLDRIVERC_H
#define PLUGINS_OPENGL_OPENGLDRIVERC_H

#include <SDL2/SDL.h>

#include <cstdint>

#include "corelib/box2c.h"
#include "corelib/classdescc.h"
#include "corelib/devicedriverbasec.h"
#include "corelib/deviceinterfacec.h"
#include "platform/windowmessage.h"
#include "plugins/opengl/framebufferc.h"

// clear_buffers flags. The accumulation bit is accepted and ignored: our
// contexts have no accumulation buffer.
constexpr uint32_t OPENGL_CLEAR_COLOR = 0x1;
constexpr uint32_t OPENGL_CLEAR_DEPTH = 0x2;
constexpr uint32_t OPENGL_CLEAR_STENCIL = 0x4;
constexpr uint32_t OPENGL_CLEAR_ACCUMULATION = 0x8;

// The graphics device: an SDL window with an OpenGL compatibility context
// (effects draw with the fixed-function pipeline, and may add GLSL shaders
// where the context compiles them). The layout keeps its
// aspect ratio inside the window, centred between black bars. Offscreen, every
// frame goes into an image instead, the layout's size or one that the layout
// is fitted into in the same way, and the window is never shown.
class OpenGLDriverC : public DeviceDriverBaseC, private WindowHandlerC {
 public:
  static OpenGLDriverC* make() { return new OpenGLDriverC(); }

  DataObjectC* create() override { return make(); }
  SuperClassIdentC get_super_class_ident() override { return SUPERCLASS_GRAPHICS_DEVICE; }
  ClassIdentC get_class_ident() override { return CLASS_OPENGL_DEVICEDRIVER; }
  // 1 while the context lives; textures are never lost, so never 2.
  int32_t get_state() override { return m_pContext != nullptr ? 1 : 0; }
  DeviceInterfaceC* query_interface(const SuperClassIdentC& rSuperClass) override;
  // The driver keeps no settings in the document; the caller skips the rest
  // of the chunk.
  int32_t load(ChunkReaderC* pReader) override;
  // Mode 2 opens a resizable window of the layout size, mode 3 fills the
  // desktop; other modes fail. The instance, parent, id and colour depth mean
  // nothing to SDL and are ignored. Without a display SDL's offscreen video
  // driver is used.
  bool init_device(void* pInstance, void* pParent, int32_t i32Id, int32_t i32Mode, int32_t i32Width,
                   int32_t i32Height, int32_t i32BitsPerPixel, HostInterfaceC* pHost) override;
  // Shows the frame; offscreen it only waits until the frame is drawn.
  void end_frame() override;
  void begin_frame() override;
  // The SDL_Window*.
  void* get_window() override { return m_pWindow; }
  void clear_buffers(uint32_t ui32Flags, const RgbaColorC& rColor, float f32Depth, int32_t i32Stencil) override;
  void activate() override;
  // One context on one thread: there is nothing to hand back.
  void deactivate() override {}
  // The whole layout in layout coordinates (x from the left, y from the
  // bottom), for effects that draw without set_ortho.
  void begin_draw() override;
  void end_draw() override;

 private:
  class ViewportC : public ViewportInterfaceC {
   public:
    explicit ViewportC(OpenGLDriverC& rDriver) : m_rDriver(rDriver) {}
    SuperClassIdentC get_super_class_ident() override { return SUPERCLASS_VIEWPORT_INTERFACE; }
    // The rect's part of the layout shows left..right by bottom..top; what
    // falls outside the layout is cut off.
    void set_ortho(const Box2C& rRect, float f32Left, float f32Right, float f32Top, float f32Bottom, float f32Near,
                   float f32Far) override;
    void set_viewport(const Box2C& rRect) override { m_rDriver.set_layout_size(rRect); }
    void set_layout(const Box2C& rRect) override { m_rDriver.set_layout_size(rRect); }

   private:
    OpenGLDriverC& m_rDriver;
  };

  class OffscreenC : public OffscreenInterfaceC {
   public:
    explicit OffscreenC(OpenGLDriverC& rDriver) : m_rDriver(rDriver) {}
    SuperClassIdentC get_super_class_ident() override { return SUPERCLASS_OFFSCREEN_INTERFACE; }
    void set_offscreen(bool bOffscreen) override { m_rDriver.m_bOffscreen = bOffscreen; }
    bool read_frame(uint8_t* pPixels) override;

   private:
    OpenGLDriverC& m_rDriver;
  };

  class OffscreenImageC : public OffscreenImageInterfaceC {
   public:
    explicit OffscreenImageC(OpenGLDriverC& rDriver) : m_rDriver(rDriver) {}
    SuperClassIdentC get_super_class_ident() override { return SUPERCLASS_OFFSCREEN_IMAGE_INTERFACE; }
    void set_image_size(int32_t i32Width, int32_t i32Height) override;

   private:
    OpenGLDriverC& m_rDriver;
  };

  class ShaderC : public ShaderInterfaceC {
   public:
    explicit ShaderC(OpenGLDriverC& rDriver) : m_rDriver(rDriver) {}
    SuperClassIdentC get_super_class_ident() override { return SUPERCLASS_SHADER_INTERFACE; }
    int32_t get_glsl_version() override;
    void* get_proc_address(const char* szName) override;

   private:
    OpenGLDriverC& m_rDriver;
  };

  // The layout's place in the framebuffer, in pixels, y up.
  struct AreaS {
    int32_t m_i32X = 0;
    int32_t m_i32Y = 0;
    int32_t m_i32Width = 0;
    int32_t m_i32Height = 0;
  };

  OpenGLDriverC() : m_rViewport(*this), m_rOffscreen(*this), m_rOffscreenImage(*this), m_rShader(*this) {}
  ~OpenGLDriverC() override;

  void handle_message(const SDL_Event& rEvent) override;
  bool open_window(int32_t i32Mode);
  void shut_down();
  void set_layout_size(const Box2C& rRect);
  void get_target_size(int32_t* pWidth, int32_t* pHeight) const;
  void update_area();
  void set_default_view();

  ViewportC m_rViewport;
  OffscreenC m_rOffscreen;
  OffscreenImageC m_rOffscreenImage;
  ShaderC m_rShader;
  HostInterfaceC* m_pHost = nullptr;
  SDL_Window* m_pWindow = nullptr;
  SDL_GLContext m_pContext = nullptr;
  bool m_bVideoStarted = false;
  bool m_bOffscreen = false;
  bool m_bCursorHidden = false;
  int32_t m_i32LayoutWidth = 0;
  int32_t m_i32LayoutHeight = 0;
  // The offscreen image when set_image_size chose one; 0 × 0: the layout's size.
  int32_t m_i32ImageWidth = 0;
  int32_t m_i32ImageHeight = 0;
  AreaS m_rArea;
  FramebufferC m_rFramebuffer;
};

// The class's descriptor; the library holds its one instance.
class OpenGLDriverDescC : public PluginClass::ClassDescC {
 public:
  DataObjectC* make_object() override { return OpenGLDriverC::make(); }
  int32_t get_class_kind() override { return PluginClass::CLASS_KIND_DEVICE_DRIVER; }
  ClassIdentC get_class_ident() override { return CLASS_OPENGL_DEVICEDRIVER; }
  SuperClassIdentC get_super_class_ident() override { return SUPERCLASS_GRAPHICS_DEVICE; }
  const char* get_class_name() override { return OPENGL_DEVICEDRIVER_NAME; }
  const char* get_description() override { return "Draws the presentation with OpenGL into a window"; }
  const char* get_author() override { return "tiravo developers"; }
  const char* get_copyright() override { return "(c) 2026 tiravo developers"; }
  const char* get_web_address() override { return ""; }
  const char* get_help_location() override { return ""; }
  int32_t get_extension_count() override { return 0; }
  const char* get_extension(int32_t) override { return nullptr; }
  int32_t get_driver_requirement_count() override { return 0; }
  const ClassIdentC* get_driver_requirement(int32_t) override { return nullptr; }
};

#endif
