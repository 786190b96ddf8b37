#ifndef PLUGINS_VERNISK_SHADERSOURCE_H
#define PLUGINS_VERNISK_SHADERSOURCE_H

#include <string>

// How a fragment shader of the shader-sharing sites' kind becomes one that
// OpenGL compiles: a prelude declares their uniforms (iResolution, iTime,
// iTimeDelta, iFrame, iFrameRate, iMouse, iDate, iSampleRate, iChannel0..3,
// iChannelResolution, iChannelTime) and ours (uParam1..8, uColor1..2,
// uVector1..2), then "#line 0" so the compiler counts the source's own lines
// (GLSL 1.30 numbers the line after "#line n" n + 1), and, when the source
// defines mainImage, a main that calls it.

// The GLSL version the prelude asks for (1.30: texture(), in/out, integers).
constexpr int SHADER_GLSL_VERSION = 130;

// The uniforms the effect sets besides those the source sees.
constexpr const char* SHADER_UNIFORM_FILL = "vernisk_Fill";

// Whether the source defines mainImage(out vec4, in vec2) for us to call;
// otherwise it is a whole shader that writes gl_FragColor itself.
bool defines_main_image(const std::string& rSource);
std::string wrap_fragment_shader(const std::string& rSource);
// Hands the fragment shader vernisk_FragCoord, in units of iResolution from
// the quad's bottom left.
const std::string& vertex_shader_source();

#endif
