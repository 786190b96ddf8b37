#include "plugins/vernisk/shadersource.h"

#include <cctype>

namespace {

const char* const PRELUDE = R"(#version 130
uniform vec3 iResolution;
uniform float iTime;
uniform float iTimeDelta;
uniform int iFrame;
uniform float iFrameRate;
uniform vec4 iMouse;
uniform vec4 iDate;
uniform float iSampleRate;
uniform sampler2D iChannel0;
uniform sampler2D iChannel1;
uniform sampler2D iChannel2;
uniform sampler2D iChannel3;
uniform vec3 iChannelResolution[4];
uniform float iChannelTime[4];
uniform float uParam1;
uniform float uParam2;
uniform float uParam3;
uniform float uParam4;
uniform float uParam5;
uniform float uParam6;
uniform float uParam7;
uniform float uParam8;
uniform vec4 uColor1;
uniform vec4 uColor2;
uniform vec2 uVector1;
uniform vec2 uVector2;
uniform vec4 vernisk_Fill;
in vec2 vernisk_FragCoord;
)";

// Alpha starts at 1: shaders written for sites that show no alpha often
// leave it alone.
const char* const MAIN_IMAGE_CALL = R"(
void main() {
  vec4 vernisk_Color = vec4(0.0, 0.0, 0.0, 1.0);
  mainImage(vernisk_Color, vernisk_FragCoord);
  vernisk_Out = vernisk_Color * vernisk_Fill;
}
)";

}  // namespace

// "void", white space, "mainImage", white space or none, "(".
bool defines_main_image(const std::string& rSource) {
  const std::string sName = "mainImage";
  auto bSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  for (size_t uAt = rSource.find(sName); uAt != std::string::npos; uAt = rSource.find(sName, uAt + 1)) {
    size_t uAfter = uAt + sName.size();
    while (uAfter < rSource.size() && bSpace(rSource[uAfter])) {
      ++uAfter;
    }
    size_t uBefore = uAt;
    while (uBefore > 0 && bSpace(rSource[uBefore - 1])) {
      --uBefore;
    }
    const bool bSpaced = uBefore < uAt;
    const bool bVoid = uBefore >= 4 && rSource.compare(uBefore - 4, 4, "void") == 0 &&
                       (uBefore == 4 || !std::isalnum(static_cast<unsigned char>(rSource[uBefore - 5])));
    if (bSpaced && bVoid && uAfter < rSource.size() && rSource[uAfter] == '(') {
      return true;
    }
  }
  return false;
}

std::string wrap_fragment_shader(const std::string& rSource) {
  if (defines_main_image(rSource)) {
    return std::string(PRELUDE) + "out vec4 vernisk_Out;\n#line 0\n" + rSource + MAIN_IMAGE_CALL;
  }
  return std::string(PRELUDE) + "#line 0\n" + rSource + "\n";
}

const std::string& vertex_shader_source() {
  static const std::string s_sSource = R"(#version 130
uniform vec3 iResolution;
out vec2 vernisk_FragCoord;
void main() {
  gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
  vernisk_FragCoord = vec2(gl_MultiTexCoord0.x, 1.0 - gl_MultiTexCoord0.y) * iResolution.xy;
}
)";
  return s_sSource;
}
