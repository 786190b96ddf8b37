#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/vernisk/vernisktest.h"

namespace {

// Presentations of one Shader effect filling a layout of width × height,
// rendered by the real tiravo on Mesa; pixels against values computed here.
class ShaderEffectTest : public VerniskTest {
 protected:
  // The description of one effect showing shader file 0, with further
  // parameters and files as JSON text.
  static std::string description(int32_t i32Width, int32_t i32Height, const std::string& rParams,
                                 const std::string& rFiles, int32_t i32End = 4096) {
    const std::string sSize = std::to_string(i32Width) + ", " + std::to_string(i32Height);
    const std::string sCentre = std::to_string(i32Width / 2) + ", " + std::to_string(i32Height / 2);
    return R"({"scene": {"end_time": )" + std::to_string(i32End) + R"(, "layout_width": )" +
           std::to_string(i32Width) + R"(, "layout_height": )" + std::to_string(i32Height) +
           R"(, "layers": [{"time_segment": [0, 65536], "effects": [{"class": "Shader",
             "time_segment": [0, 65536], "params": {"Transform": {"Position": [)" + sCentre + R"(]},
             "Attributes": {"Shader": 0, "Size": [)" + sSize + "]}" + rParams + R"(}}]}]},
             "files": [{"file_name": "shader.frag"})" + rFiles + "]}";
  }

  TiravoProcessC::ResultS render_shader(const std::string& rSource, const std::string& rDescription) {
    write_text(m_rDirectory.file("shader.frag"), rSource);
    return render(rDescription);
  }

  static int to_byte(double f64Value) { return static_cast<int>(std::lround(f64Value * 255.0)); }
};

// fragCoord runs over the quad's pixel centres from the bottom left, in
// units of iResolution: the gradient is known in closed form.
TEST_F(ShaderEffectTest, GradientOfFragCoordOverResolution) {
  const TiravoProcessC::ResultS rResult = render_shader(
      "void mainImage(out vec4 fragColor, in vec2 fragCoord) {\n"
      "  fragColor = vec4(fragCoord / iResolution.xy, 0.25, 1.0);\n"
      "}\n",
      description(64, 32, "", ""));
  ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  EXPECT_EQ(std::string::npos, rResult.m_sError.find("draws nothing")) << rResult.m_sError;
  const RenderedFrameC rFrame = frame(0);
  ASSERT_EQ(64, rFrame.width());
  for (int32_t y = 0; y < 32; ++y) {
    for (int32_t x = 0; x < 64; ++x) {
      const RgbT rExpected = {to_byte((x + 0.5) / 64.0), to_byte((y + 0.5) / 32.0), to_byte(0.25)};
      expect_colour(rExpected, rFrame.at(x, y), std::to_string(x) + ", " + std::to_string(y), 1);
    }
  }
}

// iTime is the local time in seconds; the animated parameters, colours and
// vectors arrive as uParam, uColor and uVector; Fill Color multiplies.
TEST_F(ShaderEffectTest, TimeAndParametersReachTheShader) {
  const std::string sParams = R"(, "Inputs": {
      "Param 1": {"track": {"keys": [{"time": 0, "value": 0, "flags": ["linear"]},
                                     {"time": 4096, "value": 1, "flags": ["linear"]}]}},
      "Param 8": 0.5, "Color 2": [0.2, 0.4, 0.6, 1], "Vector 2": [0.75, 3]})";
  const TiravoProcessC::ResultS rResult = render_shader(
      "void mainImage(out vec4 c, in vec2 p) {\n"
      "  float left = step(p.x, 8.0);\n"
      "  c = left * vec4(iTime / 4.0, uParam1, uParam8, 1.0)\n"
      "    + (1.0 - left) * vec4(uColor2.b, uVector2.x, uVector2.y / 4.0, 1.0);\n"
      "}\n",
      description(16, 8, sParams, ""));
  ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  for (int32_t i32Second = 0; i32Second < 3; ++i32Second) {
    const RenderedFrameC rFrame = frame(i32Second);
    const std::string sWhen = "second " + std::to_string(i32Second);
    expect_colour({to_byte(i32Second / 4.0), to_byte(i32Second / 2.0), to_byte(0.5)}, rFrame.at(2, 4), sWhen, 1);
    expect_colour({to_byte(0.6), to_byte(0.75), to_byte(0.75)}, rFrame.at(12, 4), sWhen, 1);
  }
}

// An image in iChannel0, sampled at its texel centres, arrives as decoded,
// and the shader's alpha blends it over the black frame.
TEST_F(ShaderEffectTest, ImageInAChannelKeepsItsPixelsAndAlpha) {
  const std::string sParams = R"(, "Channels": {"Channel 0": 1})";
  const std::string sFiles = R"(, {"file_name": ")" + media("pattern.png") + R"("})";
  const TiravoProcessC::ResultS rResult = render_shader(
      "void mainImage(out vec4 c, in vec2 p) {\n"
      "  vec2 size = iChannelResolution[0].xy;\n"
      "  c = texture(iChannel0, vec2(p.x, size.y - p.y) / size);\n"
      "}\n",
      description(24, 16, sParams, sFiles));
  ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  const std::vector<uint8_t> rExpected = read_bytes(media("pattern.png.rgba"));
  const RenderedFrameC rFrame = frame(1);
  for (int32_t y = 0; y < 16; ++y) {
    for (int32_t x = 0; x < 24; ++x) {
      const uint8_t* pPixel = &rExpected[(static_cast<size_t>(y) * 24 + x) * 4];
      const RgbT rColour = {pPixel[0] * pPixel[3] / 255, pPixel[1] * pPixel[3] / 255, pPixel[2] * pPixel[3] / 255};
      expect_colour(rColour, rFrame.at(x, 15 - y), std::to_string(x) + ", " + std::to_string(y), 2);
    }
  }
}

// A whole shader of its own, without mainImage, is compiled as it is.
TEST_F(ShaderEffectTest, ShaderWithItsOwnMainWritesGlFragColor) {
  const TiravoProcessC::ResultS rResult =
      render_shader("void main() { gl_FragColor = vec4(vernisk_FragCoord.x / iResolution.x, 0.0, 1.0, 1.0); }\n",
                    description(8, 4, "", ""));
  ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  expect_colour({to_byte(6.5 / 8.0), 0, 255}, frame(0).at(6, 1), "pixel 6", 1);
}

size_t count_of(const std::string& rText, const std::string& rWhat) {
  size_t uCount = 0;
  for (size_t uAt = rText.find(rWhat); uAt != std::string::npos; uAt = rText.find(rWhat, uAt + 1)) {
    ++uCount;
  }
  return uCount;
}

// A shader that does not compile draws nothing: its log, with the source's
// own line numbers, goes to standard error once for the whole run.
TEST_F(ShaderEffectTest, CompileErrorIsToldOnceWithItsLineAndDrawsNothing) {
  const TiravoProcessC::ResultS rResult = render_shader(
      "void mainImage(out vec4 c, in vec2 p) {\n"
      "  c = vec4(1.0);\n"
      "  c.r = undefinedThing;\n"
      "}\n",
      description(8, 4, "", ""));
  ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  EXPECT_EQ(1u, count_of(rResult.m_sError, "Shader shader.frag draws nothing")) << rResult.m_sError;
  EXPECT_NE(std::string::npos, rResult.m_sError.find("0:3(")) << rResult.m_sError;
  EXPECT_NE(std::string::npos, rResult.m_sError.find("undefinedThing")) << rResult.m_sError;
  for (int32_t i = 0; i < 3; ++i) {
    expect_colour({0, 0, 0}, frame(i).at(4, 2), "frame " + std::to_string(i), 0);
  }
}

}  // namespace
