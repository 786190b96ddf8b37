#include "plugins/vernisk/shadereffectc.h"

#include <GL/gl.h>

#include <cmath>
#include <ctime>
#include <string>

#include "corelib/box2c.h"
#include "corelib/colorparamc.h"
#include "corelib/fileparamc.h"
#include "corelib/floatparamc.h"
#include "corelib/gizmoc.h"
#include "corelib/graphicsimportablec.h"
#include "corelib/timebasec.h"
#include "corelib/truncation.h"
#include "corelib/vector2paramc.h"
#include "plugins/vernisk/glslprogramc.h"
#include "plugins/vernisk/shaderimportc.h"
#include "plugins/vernisk/shadersource.h"
#include "plugins/vernisk/verniskclasses.h"

namespace {

// What iSampleRate tells a shader: the rate music plays at.
constexpr float F32_SAMPLE_RATE = 44100.0f;

const char* const CHANNEL_NAMES[SHADER_CHANNEL_COUNT] = {"Channel 0", "Channel 1", "Channel 2", "Channel 3"};

}  // namespace

ShaderEffectC::ShaderEffectC() {
  GizmoC* pAttributes = gizmo(PLACEMENT_GIZMO_ATTRIBUTES);
  pAttributes->add_param(FileParamC::create_param(pAttributes, "Shader", SUPERCLASS_IMPORTABLE, CLASS_SHADER_IMPORT,
                                                  SHADER_PARAM_SHADER, 0x8));
  pAttributes->add_param(Vector2ParamC::create_param(pAttributes, "Size", Vector2C(640.0f, 360.0f), SHADER_PARAM_SIZE,
                                                     0x21, true, Vector2C(0.0f, 0.0f), Vector2C(0.0f, 0.0f), 1.0f));
  GizmoC* pChannels = add_gizmo("Channels");
  for (int32_t i = 0; i < SHADER_CHANNEL_COUNT; ++i) {
    pChannels->add_param(
        FileParamC::create_param(pChannels, CHANNEL_NAMES[i], SUPERCLASS_VIDEO_IMPORTABLE, NULL_CLASSID, i, 0x8));
  }
  GizmoC* pInputs = add_gizmo("Inputs");
  for (int32_t i = 0; i < SHADER_FLOAT_INPUT_COUNT; ++i) {
    const std::string sName = "Param " + std::to_string(i + 1);
    pInputs->add_param(FloatParamC::create_param(pInputs, sName.c_str(), 0.0f, i, 0x1, true, 0.0f, 0.0f, 0.01f));
  }
  pInputs->add_param(ColorParamC::create_param(pInputs, "Color 1", RgbaColorC(1.0f, 1.0f, 1.0f, 1.0f),
                                               SHADER_PARAM_COLOR_1, 0x10, true));
  pInputs->add_param(ColorParamC::create_param(pInputs, "Color 2", RgbaColorC(0.0f, 0.0f, 0.0f, 1.0f),
                                               SHADER_PARAM_COLOR_1 + 1, 0x10, true));
  pInputs->add_param(Vector2ParamC::create_param(pInputs, "Vector 1", Vector2C(0.0f, 0.0f), SHADER_PARAM_VECTOR_1,
                                                 0x1, true, Vector2C(0.0f, 0.0f), Vector2C(0.0f, 0.0f), 0.01f));
  pInputs->add_param(Vector2ParamC::create_param(pInputs, "Vector 2", Vector2C(0.0f, 0.0f),
                                                 SHADER_PARAM_VECTOR_1 + 1, 0x1, true, Vector2C(0.0f, 0.0f),
                                                 Vector2C(0.0f, 0.0f), 0.01f));
}

ClassIdentC ShaderEffectC::get_class_ident() {
  return CLASS_SHADER_EFFECT;
}

const char* ShaderEffectC::get_class_name() {
  return SHADER_EFFECT_CLASS_NAME;
}

void ShaderEffectC::set_default_file(ImportHandleC* pHandle) {
  auto* pShader = static_cast<FileParamC*>(gizmo(PLACEMENT_GIZMO_ATTRIBUTES)->get_param(SHADER_PARAM_SHADER));
  edit_under_undo(pShader, get_undo(), [&] { pShader->set_file(pHandle); });
}

ShaderImportC* ShaderEffectC::shader() {
  auto* pParam = static_cast<FileParamC*>(gizmo(PLACEMENT_GIZMO_ATTRIBUTES)->get_param(SHADER_PARAM_SHADER));
  return dynamic_cast<ShaderImportC*>(file_of(pParam));
}

GraphicsImportableC* ShaderEffectC::channel(int32_t i32Index) {
  return dynamic_cast<GraphicsImportableC*>(
      file_of(static_cast<FileParamC*>(gizmo(SHADER_GIZMO_CHANNELS)->get_param(i32Index))));
}

void ShaderEffectC::evaluate(int32_t i32Time, TimeBaseC* pTimeContext) {
  static_cast<Vector2ParamC*>(gizmo(PLACEMENT_GIZMO_ATTRIBUTES)->get_param(SHADER_PARAM_SIZE))
      ->get_value(i32Time, &m_rSize);
  const Vector2C rHalf(std::fabs(m_rSize.m_f32X) * 0.5f, std::fabs(m_rSize.m_f32Y) * 0.5f);
  place(i32Time, Box2C(Vector2C(-rHalf.m_f32X, -rHalf.m_f32Y), rHalf));
  const float f32Time =
      pTimeContext ? static_cast<float>(pTimeContext->from_ticks(static_cast<double>(i32Time), 1.0)) : 0.0f;
  m_f32TimeDelta = m_i32Frame < 0 ? 0.0f : f32Time - m_f32Time;
  m_f32Time = f32Time;
  for (int32_t i = 0; i < SHADER_CHANNEL_COUNT; ++i) {
    GraphicsImportableC* pChannel = channel(i);
    m_i32ChannelFrames[i] =
        pChannel ? truncate_to_int32(f32Time * pChannel->get_fps()) + pChannel->get_first_frame() : 0;
  }
  GizmoC* pInputs = gizmo(SHADER_GIZMO_INPUTS);
  for (int32_t i = 0; i < SHADER_FLOAT_INPUT_COUNT; ++i) {
    pInputs->get_param(i)->get_value(i32Time, &m_f32Inputs[i]);
  }
  for (int32_t i = 0; i < 2; ++i) {
    static_cast<ColorParamC*>(pInputs->get_param(SHADER_PARAM_COLOR_1 + i))->get_value(i32Time, &m_rColors[i]);
    static_cast<Vector2ParamC*>(pInputs->get_param(SHADER_PARAM_VECTOR_1 + i))->get_value(i32Time, &m_rVectors[i]);
  }
}

void ShaderEffectC::draw(DeviceTableC* pDevices) {
  ShaderImportC* pShader = shader();
  DeviceDriverBaseC* pDevice = pShader ? begin_quad(pDevices) : nullptr;
  const GlslProgramC* pProgram = pDevice ? pShader->program(pDevice) : nullptr;
  if (!pProgram) {
    return;
  }
  const GlslFunctionsS& rGl = *pShader->functions();
  rGl.m_pUseProgram(pProgram->get_name());
  ++m_i32Frame;
  set_uniforms(rGl, *pProgram);
  bind_channels(rGl, *pProgram, pDevice);
  draw_quad();
  rGl.m_pUseProgram(0);
}

void ShaderEffectC::set_uniforms(const GlslFunctionsS& rGl, const GlslProgramC& rProgram) {
  auto location = [&](const char* szName) { return rGl.m_pGetUniformLocation(rProgram.get_name(), szName); };
  rGl.m_pUniform3f(location("iResolution"), std::fabs(m_rSize.m_f32X), std::fabs(m_rSize.m_f32Y), 1.0f);
  rGl.m_pUniform1f(location("iTime"), m_f32Time);
  rGl.m_pUniform1f(location("iTimeDelta"), m_f32TimeDelta);
  rGl.m_pUniform1i(location("iFrame"), m_i32Frame);
  rGl.m_pUniform1f(location("iFrameRate"), m_f32TimeDelta > 0.0f ? 1.0f / m_f32TimeDelta : 0.0f);
  rGl.m_pUniform4f(location("iMouse"), 0.0f, 0.0f, 0.0f, 0.0f);
  const std::time_t iNow = std::time(nullptr);
  std::tm rNow{};
  localtime_r(&iNow, &rNow);
  rGl.m_pUniform4f(location("iDate"), static_cast<float>(rNow.tm_year + 1900), static_cast<float>(rNow.tm_mon),
                   static_cast<float>(rNow.tm_mday),
                   static_cast<float>(rNow.tm_hour * 3600 + rNow.tm_min * 60 + rNow.tm_sec));
  rGl.m_pUniform1f(location("iSampleRate"), F32_SAMPLE_RATE);
  for (int32_t i = 0; i < SHADER_FLOAT_INPUT_COUNT; ++i) {
    rGl.m_pUniform1f(location(("uParam" + std::to_string(i + 1)).c_str()), m_f32Inputs[i]);
  }
  for (int32_t i = 0; i < 2; ++i) {
    const RgbaColorC& rColor = m_rColors[i];
    rGl.m_pUniform4f(location(i == 0 ? "uColor1" : "uColor2"), rColor.m_f32R, rColor.m_f32G, rColor.m_f32B,
                     rColor.m_f32A);
    rGl.m_pUniform2f(location(i == 0 ? "uVector1" : "uVector2"), m_rVectors[i].m_f32X, m_rVectors[i].m_f32Y);
  }
  const RgbaColorC rFill = blend_color();
  rGl.m_pUniform4f(location(SHADER_UNIFORM_FILL), rFill.m_f32R, rFill.m_f32G, rFill.m_f32B, rFill.m_f32A);
}

// Channel i on texture unit i, repeating and filtered linearly; unit 0 is
// left active, as effects that draw without shaders expect.
void ShaderEffectC::bind_channels(const GlslFunctionsS& rGl, const GlslProgramC& rProgram,
                                  DeviceDriverBaseC* pDevice) {
  for (int32_t i = 0; i < SHADER_CHANNEL_COUNT; ++i) {
    const std::string sIndex = std::to_string(i);
    GraphicsImportableC* pChannel = channel(i);
    const GLuint uiProgram = rProgram.get_name();
    const GLint iResolution = rGl.m_pGetUniformLocation(uiProgram, ("iChannelResolution[" + sIndex + "]").c_str());
    const GLint iTime = rGl.m_pGetUniformLocation(uiProgram, ("iChannelTime[" + sIndex + "]").c_str());
    rGl.m_pUniform1i(rGl.m_pGetUniformLocation(uiProgram, ("iChannel" + sIndex).c_str()), i);
    rGl.m_pUniform1f(iTime, m_f32Time);
    rGl.m_pActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(i));
    if (!pChannel) {
      // An empty channel is black, not whatever the unit held.
      rGl.m_pUniform3f(iResolution, 0.0f, 0.0f, 0.0f);
      glBindTexture(GL_TEXTURE_2D, 0);
      continue;
    }
    rGl.m_pUniform3f(iResolution, static_cast<float>(pChannel->get_width()),
                     static_cast<float>(pChannel->get_height()), 1.0f);
    pChannel->bind_texture(m_i32ChannelFrames[i], pDevice, BIND_LINEAR);
  }
  rGl.m_pActiveTexture(GL_TEXTURE0);
}
