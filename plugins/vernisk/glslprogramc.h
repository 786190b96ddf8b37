#ifndef PLUGINS_VERNISK_GLSLPROGRAMC_H
#define PLUGINS_VERNISK_GLSLPROGRAMC_H

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>
#include <string>

class ShaderInterfaceC;

// The OpenGL 2.0 functions shaders need, taken from the driver's context.
struct GlslFunctionsS {
  PFNGLCREATESHADERPROC m_pCreateShader = nullptr;
  PFNGLSHADERSOURCEPROC m_pShaderSource = nullptr;
  PFNGLCOMPILESHADERPROC m_pCompileShader = nullptr;
  PFNGLGETSHADERIVPROC m_pGetShaderiv = nullptr;
  PFNGLGETSHADERINFOLOGPROC m_pGetShaderInfoLog = nullptr;
  PFNGLDELETESHADERPROC m_pDeleteShader = nullptr;
  PFNGLCREATEPROGRAMPROC m_pCreateProgram = nullptr;
  PFNGLATTACHSHADERPROC m_pAttachShader = nullptr;
  PFNGLLINKPROGRAMPROC m_pLinkProgram = nullptr;
  PFNGLGETPROGRAMIVPROC m_pGetProgramiv = nullptr;
  PFNGLGETPROGRAMINFOLOGPROC m_pGetProgramInfoLog = nullptr;
  PFNGLDELETEPROGRAMPROC m_pDeleteProgram = nullptr;
  PFNGLUSEPROGRAMPROC m_pUseProgram = nullptr;
  PFNGLGETUNIFORMLOCATIONPROC m_pGetUniformLocation = nullptr;
  PFNGLUNIFORM1IPROC m_pUniform1i = nullptr;
  PFNGLUNIFORM1FPROC m_pUniform1f = nullptr;
  PFNGLUNIFORM2FPROC m_pUniform2f = nullptr;
  PFNGLUNIFORM3FPROC m_pUniform3f = nullptr;
  PFNGLUNIFORM4FPROC m_pUniform4f = nullptr;
  PFNGLACTIVETEXTUREPROC m_pActiveTexture = nullptr;

  // False when the context lacks any of them.
  bool load(ShaderInterfaceC* pInterface);
};

// A GLSL program of one fragment shader (and the vertex shader that hands it
// the quad's coordinates), compiled and linked once. Its log keeps the
// compiler's words.
class GlslProgramC {
 public:
  GlslProgramC() = default;
  GlslProgramC(const GlslProgramC&) = delete;
  GlslProgramC& operator=(const GlslProgramC&) = delete;
  ~GlslProgramC();

  // Compiles and links vertex and fragment source. False with the log set
  // when either does not compile or the program does not link.
  bool build(const GlslFunctionsS& rFunctions, const std::string& rVertex, const std::string& rFragment);
  // The program, or 0 when the build failed.
  GLuint get_name() const { return m_uiProgram; }
  const std::string& get_log() const { return m_sLog; }
  // Deletes the program; the context must be current.
  void destroy();
  // The program's objects went with their context: nothing to delete.
  void forget() { m_uiProgram = 0; }

 private:
  GLuint compile(GLenum eKind, const std::string& rSource, const char* szWhat);

  const GlslFunctionsS* m_pFunctions = nullptr;
  GLuint m_uiProgram = 0;
  std::string m_sLog;
};

#endif
