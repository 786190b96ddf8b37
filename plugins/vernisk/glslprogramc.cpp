#include "plugins/vernisk/glslprogramc.h"

#include <vector>

#include "corelib/deviceinterfacec.h"

namespace {

template <class FunctionT>
bool take(ShaderInterfaceC* pInterface, const char* szName, FunctionT* pFunction) {
  *pFunction = reinterpret_cast<FunctionT>(pInterface->get_proc_address(szName));
  return *pFunction != nullptr;
}

}  // namespace

bool GlslFunctionsS::load(ShaderInterfaceC* pInterface) {
  bool bAll = take(pInterface, "glCreateShader", &m_pCreateShader);
  bAll &= take(pInterface, "glShaderSource", &m_pShaderSource);
  bAll &= take(pInterface, "glCompileShader", &m_pCompileShader);
  bAll &= take(pInterface, "glGetShaderiv", &m_pGetShaderiv);
  bAll &= take(pInterface, "glGetShaderInfoLog", &m_pGetShaderInfoLog);
  bAll &= take(pInterface, "glDeleteShader", &m_pDeleteShader);
  bAll &= take(pInterface, "glCreateProgram", &m_pCreateProgram);
  bAll &= take(pInterface, "glAttachShader", &m_pAttachShader);
  bAll &= take(pInterface, "glLinkProgram", &m_pLinkProgram);
  bAll &= take(pInterface, "glGetProgramiv", &m_pGetProgramiv);
  bAll &= take(pInterface, "glGetProgramInfoLog", &m_pGetProgramInfoLog);
  bAll &= take(pInterface, "glDeleteProgram", &m_pDeleteProgram);
  bAll &= take(pInterface, "glUseProgram", &m_pUseProgram);
  bAll &= take(pInterface, "glGetUniformLocation", &m_pGetUniformLocation);
  bAll &= take(pInterface, "glUniform1i", &m_pUniform1i);
  bAll &= take(pInterface, "glUniform1f", &m_pUniform1f);
  bAll &= take(pInterface, "glUniform2f", &m_pUniform2f);
  bAll &= take(pInterface, "glUniform3f", &m_pUniform3f);
  bAll &= take(pInterface, "glUniform4f", &m_pUniform4f);
  bAll &= take(pInterface, "glActiveTexture", &m_pActiveTexture);
  return bAll;
}

GlslProgramC::~GlslProgramC() {
  destroy();
}

void GlslProgramC::destroy() {
  if (m_uiProgram != 0) {
    m_pFunctions->m_pDeleteProgram(m_uiProgram);
    m_uiProgram = 0;
  }
}

GLuint GlslProgramC::compile(GLenum eKind, const std::string& rSource, const char* szWhat) {
  const GlslFunctionsS& rGl = *m_pFunctions;
  const GLuint uiShader = rGl.m_pCreateShader(eKind);
  const GLchar* szSource = rSource.c_str();
  rGl.m_pShaderSource(uiShader, 1, &szSource, nullptr);
  rGl.m_pCompileShader(uiShader);
  GLint iCompiled = GL_FALSE;
  GLint iLogLength = 0;
  rGl.m_pGetShaderiv(uiShader, GL_COMPILE_STATUS, &iCompiled);
  rGl.m_pGetShaderiv(uiShader, GL_INFO_LOG_LENGTH, &iLogLength);
  if (iCompiled != GL_TRUE) {
    std::vector<GLchar> rLog(static_cast<size_t>(iLogLength > 0 ? iLogLength : 1), '\0');
    rGl.m_pGetShaderInfoLog(uiShader, static_cast<GLsizei>(rLog.size()), nullptr, rLog.data());
    m_sLog += std::string(szWhat) + " does not compile:\n" + rLog.data();
    rGl.m_pDeleteShader(uiShader);
    return 0;
  }
  return uiShader;
}

bool GlslProgramC::build(const GlslFunctionsS& rFunctions, const std::string& rVertex, const std::string& rFragment) {
  m_pFunctions = &rFunctions;
  destroy();
  m_sLog.clear();
  const GLuint uiVertex = compile(GL_VERTEX_SHADER, rVertex, "The vertex shader");
  const GLuint uiFragment = uiVertex != 0 ? compile(GL_FRAGMENT_SHADER, rFragment, "The shader") : 0;
  if (uiFragment == 0) {
    if (uiVertex != 0) {
      rFunctions.m_pDeleteShader(uiVertex);
    }
    return false;
  }
  const GLuint uiProgram = rFunctions.m_pCreateProgram();
  rFunctions.m_pAttachShader(uiProgram, uiVertex);
  rFunctions.m_pAttachShader(uiProgram, uiFragment);
  rFunctions.m_pLinkProgram(uiProgram);
  // Attached, they live as long as the program.
  rFunctions.m_pDeleteShader(uiVertex);
  rFunctions.m_pDeleteShader(uiFragment);
  GLint iLinked = GL_FALSE;
  rFunctions.m_pGetProgramiv(uiProgram, GL_LINK_STATUS, &iLinked);
  if (iLinked != GL_TRUE) {
    GLint iLogLength = 0;
    rFunctions.m_pGetProgramiv(uiProgram, GL_INFO_LOG_LENGTH, &iLogLength);
    std::vector<GLchar> rLog(static_cast<size_t>(iLogLength > 0 ? iLogLength : 1), '\0');
    rFunctions.m_pGetProgramInfoLog(uiProgram, static_cast<GLsizei>(rLog.size()), nullptr, rLog.data());
    m_sLog = std::string("The shader does not link:\n") + rLog.data();
    rFunctions.m_pDeleteProgram(uiProgram);
    return false;
  }
  m_uiProgram = uiProgram;
  return true;
}
