#ifndef PLUGINS_VERNISK_SHADEREFFECTC_H
#define PLUGINS_VERNISK_SHADEREFFECTC_H

#include <cstdint>

#include "corelib/rgbacolorc.h"
#include "corelib/vector2c.h"
#include "plugins/vernisk/placedeffectc.h"

class GlslProgramC;
class GraphicsImportableC;
class ShaderImportC;
struct GlslFunctionsS;

// Groups and parameters after Transform and Attributes (ids equal positions).
constexpr int32_t SHADER_GIZMO_CHANNELS = 2;
constexpr int32_t SHADER_GIZMO_INPUTS = 3;
constexpr int32_t SHADER_PARAM_SHADER = 2;
constexpr int32_t SHADER_PARAM_SIZE = 3;
constexpr int32_t SHADER_CHANNEL_COUNT = 4;
constexpr int32_t SHADER_FLOAT_INPUT_COUNT = 8;
// In Inputs: Param 1..8 (0..7), Color 1 and 2 (8, 9), Vector 1 and 2 (10, 11).
constexpr int32_t SHADER_PARAM_COLOR_1 = 8;
constexpr int32_t SHADER_PARAM_VECTOR_1 = 10;

// A quad of an animated "Size" drawn by a fragment shader ("Shader", a
// Fragment Shader importable) with the uniforms of the shader-sharing sites:
// iTime is the effect's local time in seconds, iResolution the size,
// iChannel0..3 the pictures of "Channel 0".."Channel 3" (any video or image,
// each at its own rate), and uParam1..8, uColor1..2 and uVector1..2 the
// parameters of "Inputs". The shader's colour is multiplied by Fill Color.
class ShaderEffectC : public PlacedEffectC {
 public:
  static DataObjectC* make() { return new ShaderEffectC(); }

  DataObjectC* create() override { return make(); }
  EditableC* create_linked(EditableC* pOriginal) override { return new ShaderEffectC(pOriginal); }
  ClassIdentC get_class_ident() override;
  const char* get_class_name() override;
  void set_default_file(ImportHandleC* pHandle) override;
  void evaluate(int32_t i32Time, TimeBaseC* pTimeContext) override;
  // Nothing without the OpenGL device or a shader that compiles.
  void draw(DeviceTableC* pDevices) override;

 protected:
  ShaderEffectC();
  explicit ShaderEffectC(EditableC* pOriginal) : PlacedEffectC(pOriginal) {}
  ~ShaderEffectC() override = default;

 private:
  ShaderImportC* shader();
  GraphicsImportableC* channel(int32_t i32Index);
  void set_uniforms(const GlslFunctionsS& rGl, const GlslProgramC& rProgram);
  void bind_channels(const GlslFunctionsS& rGl, const GlslProgramC& rProgram, DeviceDriverBaseC* pDevice);

  // What the last evaluate found.
  Vector2C m_rSize;
  float m_f32Time = 0.0f;
  float m_f32TimeDelta = 0.0f;
  int32_t m_i32Frame = -1;
  int32_t m_i32ChannelFrames[SHADER_CHANNEL_COUNT] = {};
  float m_f32Inputs[SHADER_FLOAT_INPUT_COUNT] = {};
  RgbaColorC m_rColors[2];
  Vector2C m_rVectors[2];
};

#endif
