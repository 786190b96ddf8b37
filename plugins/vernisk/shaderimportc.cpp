#include "plugins/vernisk/shaderimportc.h"

#include <algorithm>
#include <cstdio>

#include "corelib/devicedriverbasec.h"
#include "corelib/deviceinterfacec.h"
#include "corelib/devicetablec.h"
#include "platform/debugoutput.h"
#include "plugins/vernisk/glslprogramc.h"
#include "plugins/vernisk/shadersource.h"
#include "plugins/vernisk/verniskclasses.h"

namespace {

// Far more than any shader: a larger file is no shader.
constexpr uint32_t MAX_SHADER_FILE_SIZE = uint32_t{1} << 20;

}  // namespace

ShaderImportC::~ShaderImportC() {
  if (!m_pOriginal && m_pCompiled && m_pCompiled->m_pProgram) {
    m_pCompiled->m_pProgram->destroy();
  }
}

uint32_t ShaderImportC::max_file_size() const {
  return MAX_SHADER_FILE_SIZE;
}

bool ShaderImportC::use_bytes(const StoredFileC&, std::string*) {
  m_pCompiled.reset();
  return true;
}

void ShaderImportC::share_state(StoredImportC* pSource) {
  m_pCompiled = static_cast<ShaderImportC*>(pSource)->m_pCompiled;
}

void ShaderImportC::prepare(int32_t i32Reason, DeviceTableC* pDevices, TimeBaseC*) {
  DeviceDriverBaseC* pDevice = pDevices ? pDevices->find_by_class(CLASS_OPENGL_DEVICEDRIVER) : nullptr;
  if (!pDevice) {
    return;
  }
  if (i32Reason == PREPARE_REASON_DEVICE && pDevice->get_state() == DEVICE_STATE_TEXTURES_LOST && m_pCompiled &&
      m_pCompiled->m_pProgram) {
    // The program went with the context; the next draw compiles again.
    m_pCompiled->m_pProgram->forget();
    m_pCompiled->m_bCompiled = false;
  } else if (i32Reason == 1) {
    program(pDevice);
  }
}

ClassIdentC ShaderImportC::get_class_ident() {
  return CLASS_SHADER_IMPORT;
}

const char* ShaderImportC::get_class_name() {
  return SHADER_IMPORT_CLASS_NAME;
}

const char* ShaderImportC::get_info() {
  if (!m_rFile.get_data()) {
    m_sInfo = "No Shader";
    return m_sInfo.c_str();
  }
  const uint8_t* pBytes = m_rFile.get_data();
  const size_t uLines = 1 + static_cast<size_t>(std::count(pBytes, pBytes + m_rFile.get_size(), '\n')) -
                        (pBytes[m_rFile.get_size() - 1] == '\n' ? 1 : 0);
  m_sInfo = "GLSL fragment shader of " + std::to_string(uLines) + (uLines == 1 ? " line" : " lines");
  if (m_pCompiled && m_pCompiled->m_bCompiled) {
    m_sInfo += m_pCompiled->m_pProgram && m_pCompiled->m_pProgram->get_name() != 0
                   ? ", compiles"
                   : ", does not compile: " + m_pCompiled->m_sLog;
  }
  return m_sInfo.c_str();
}

ClassIdentC ShaderImportC::get_default_effect() {
  return CLASS_SHADER_EFFECT;
}

const GlslProgramC* ShaderImportC::program(DeviceDriverBaseC* pDevice) {
  if (!m_pCompiled || !m_pCompiled->m_bCompiled) {
    compile(pDevice);
  }
  const GlslProgramC* pProgram = m_pCompiled->m_pProgram.get();
  return pProgram && pProgram->get_name() != 0 ? pProgram : nullptr;
}

// Tried once: a failure is told once, and stays.
void ShaderImportC::compile(DeviceDriverBaseC* pDevice) {
  if (!m_pCompiled) {
    m_pCompiled = std::make_shared<CompiledS>();
  }
  CompiledS& rCompiled = *m_pCompiled;
  auto* pInterface = static_cast<ShaderInterfaceC*>(pDevice ? pDevice->query_interface(SUPERCLASS_SHADER_INTERFACE)
                                                            : nullptr);
  const int32_t i32Version = pInterface ? pInterface->get_glsl_version() : 0;
  rCompiled.m_bCompiled = true;
  if (!rCompiled.m_pFunctions) {
    rCompiled.m_pFunctions = std::make_unique<GlslFunctionsS>();
    rCompiled.m_pProgram = std::make_unique<GlslProgramC>();
  }
  if (!m_rFile.get_data()) {
    rCompiled.m_sLog = "it has no text";
  } else if (i32Version < SHADER_GLSL_VERSION || !rCompiled.m_pFunctions->load(pInterface)) {
    rCompiled.m_sLog = "the graphics device compiles no GLSL " + std::to_string(SHADER_GLSL_VERSION / 100) + "." +
                       std::to_string(SHADER_GLSL_VERSION % 100 / 10) + "0";
  } else {
    const std::string sSource(reinterpret_cast<const char*>(m_rFile.get_data()), m_rFile.get_size());
    if (!rCompiled.m_pProgram->build(*rCompiled.m_pFunctions, vertex_shader_source(), wrap_fragment_shader(sSource))) {
      rCompiled.m_sLog = rCompiled.m_pProgram->get_log();
    }
  }
  if (!rCompiled.m_sLog.empty()) {
    std::fprintf(stderr, "Shader %s draws nothing: %s\n", m_rFile.get_name().c_str(), rCompiled.m_sLog.c_str());
  }
}
