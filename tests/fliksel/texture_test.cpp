// The AVI importable's texture in a real OpenGL context: the shipped driver
// opened offscreen on SDL's offscreen video driver and Mesa.
#include <GL/gl.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "corelib/deviceinterfacec.h"
#include "corelib/devicetablec.h"
#include "tests/fliksel/flikseltest.h"
#include "tests/support/openglpin.h"
#include "tests/support/renderedframec.h"
#include "tests/support/testdriverc.h"

namespace {

class TextureTest : public FlikselTest {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    // The driver's context keeps allocations of the driver library in
    // Mesa's caches, which outlive the test: the library stays loaded so that
    // they stay reachable.
    static void* const s_pKeptDriver = dlopen(TIRAVO_OPENGL_PLUGIN, RTLD_NOW | RTLD_NODELETE);
    ASSERT_NE(nullptr, s_pKeptDriver) << dlerror();
    load_plugins(true);
    m_pDriver = static_cast<DeviceDriverBaseC*>(m_rRegistry.create_object(CLASS_OPENGL_DEVICEDRIVER));
    ASSERT_NE(nullptr, m_pDriver);
    static_cast<OffscreenInterfaceC*>(m_pDriver->query_interface(SUPERCLASS_OFFSCREEN_INTERFACE))
        ->set_offscreen(true);
    ASSERT_TRUE(m_pDriver->init_device(nullptr, nullptr, 123, DEVICE_MODE_WINDOWED, 64, 64, 32, nullptr));
    pin_opengl_libraries();
    m_pVideo = import("solid.avi");
  }
  void TearDown() override {
    m_pVideo.reset();
    if (m_pDriver) {
      m_pDriver->release();
    }
  }

  static GLint bound_texture() {
    GLint iTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &iTexture);
    return iTexture;
  }
  static GLint texture_parameter(GLenum eName) {
    GLint iValue = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, eName, &iValue);
    return iValue;
  }
  static GLint texture_env_mode() {
    GLint iMode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &iMode);
    return iMode;
  }
  // The middle texel of the bound texture's picture.
  static RgbT middle_texel() {
    GLint iWidth = 0;
    GLint iHeight = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &iWidth);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &iHeight);
    if (iWidth <= 0 || iHeight <= 0) {
      return {-1, -1, -1};
    }
    std::vector<uint8_t> rTexels(static_cast<size_t>(iWidth) * iHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rTexels.data());
    const uint8_t* pTexel = &rTexels[(static_cast<size_t>(iHeight / 2) * iWidth + iWidth / 2) * 3];
    return {pTexel[0], pTexel[1], pTexel[2]};
  }

  DeviceDriverBaseC* m_pDriver = nullptr;
  OwnedT<GraphicsImportableC> m_pVideo;
};

// Only the OpenGL device's class is drawn with: another device, or none,
// leaves binding, environment and sampling as they were.
TEST_F(TextureTest, DeviceOfAnotherClassLeavesTheOpenGLStateAlone) {
  GLuint uiMine = 0;
  glGenTextures(1, &uiMine);
  glBindTexture(GL_TEXTURE_2D, uiMine);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_LINEAR);
  OwnedT<TestDriverC> pOther(TestDriverC::make());
  for (DeviceDriverBaseC* pDevice : {static_cast<DeviceDriverBaseC*>(pOther.get()), static_cast<DeviceDriverBaseC*>(nullptr)}) {
    m_pVideo->bind_texture(0, pDevice, BIND_CLAMP | BIND_LINEAR);
    EXPECT_EQ(static_cast<GLint>(uiMine), bound_texture());
    EXPECT_EQ(GL_REPLACE, texture_env_mode());
    EXPECT_EQ(GL_NEAREST_MIPMAP_LINEAR, texture_parameter(GL_TEXTURE_MIN_FILTER));
    EXPECT_EQ(GL_NO_ERROR, glGetError());
  }
  m_pVideo->bind_texture(0, m_pDriver, BIND_CLAMP | BIND_LINEAR);
  EXPECT_NE(static_cast<GLint>(uiMine), bound_texture());
  EXPECT_EQ(GL_MODULATE, texture_env_mode());
  EXPECT_EQ(GL_LINEAR, texture_parameter(GL_TEXTURE_MIN_FILTER));
  glDeleteTextures(1, &uiMine);
}

// Preparing because the device lost its textures (state 2) deletes the
// texture; the next bind makes a new one and uploads the frame again, even
// the frame that was shown before. Other reasons and states keep it.
TEST_F(TextureTest, LostTexturesAreMadeAnewAndTheFrameUploadedAgain) {
  DeviceTableC rDevices;
  TestDriverC* pLost = TestDriverC::make(CLASS_OPENGL_DEVICEDRIVER);
  rDevices.add_device(pLost);
  m_pVideo->bind_texture(3, m_pDriver, BIND_CLAMP | BIND_LINEAR);
  const GLuint uiFirst = static_cast<GLuint>(bound_texture());
  ASSERT_NE(0u, uiFirst);
  expect_colour(solid_colour(3), middle_texel(), "first upload", 8);

  m_pVideo->prepare(PREPARE_REASON_DEVICE, &rDevices, nullptr);
  EXPECT_EQ(GL_TRUE, glIsTexture(uiFirst)) << "the device still has its textures";
  pLost->m_i32State = DEVICE_STATE_TEXTURES_LOST;
  m_pVideo->prepare(PREPARE_REASON_START, &rDevices, nullptr);
  EXPECT_EQ(GL_TRUE, glIsTexture(uiFirst)) << "not a device preparation";

  m_pVideo->prepare(PREPARE_REASON_DEVICE, &rDevices, nullptr);
  EXPECT_EQ(GL_FALSE, glIsTexture(uiFirst));
  glBindTexture(GL_TEXTURE_2D, 0);
  m_pVideo->bind_texture(3, m_pDriver, BIND_CLAMP | BIND_LINEAR);
  const GLuint uiSecond = static_cast<GLuint>(bound_texture());
  ASSERT_NE(0u, uiSecond);
  EXPECT_EQ(GL_TRUE, glIsTexture(uiSecond));
  expect_colour(solid_colour(3), middle_texel(), "upload after the loss", 8);
}

}  // namespace
