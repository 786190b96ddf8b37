#ifndef PLUGINS_VERNISK_SHADERIMPORTC_H
#define PLUGINS_VERNISK_SHADERIMPORTC_H

#include <cstdint>
#include <memory>
#include <string>

#include "plugins/vernisk/storedimportc.h"

class DeviceDriverBaseC;
class GlslProgramC;
struct GlslFunctionsS;

// An imported GLSL fragment shader, kept as its text. It is compiled once
// per load, in the graphics device's context, at the preparation pass (or
// at the first draw): a shader that does not compile draws nothing, and its
// log goes once to standard error and into get_info.
class ShaderImportC : public StoredImportC {
 public:
  static DataObjectC* make() { return new ShaderImportC(); }

  DataObjectC* create() override { return make(); }
  EditableC* create_linked(EditableC* pOriginal) override { return new ShaderImportC(pOriginal); }
  // Reason 1 compiles in the OpenGL device's context, when it has one.
  void prepare(int32_t i32Reason, DeviceTableC* pDevices, TimeBaseC* pTimeContext) override;
  ClassIdentC get_class_ident() override;
  const char* get_class_name() override;
  // Its lines, and once compiled whether it compiles, with the log.
  const char* get_info() override;
  ClassIdentC get_default_effect() override;

  // The program linked in pDevice's context, compiled on the first call;
  // null when it does not compile or the context compiles no GLSL.
  const GlslProgramC* program(DeviceDriverBaseC* pDevice);
  // The context's functions the program was made with; valid with it.
  const GlslFunctionsS* functions() const { return m_pCompiled ? m_pCompiled->m_pFunctions.get() : nullptr; }

 protected:
  ShaderImportC() = default;
  explicit ShaderImportC(EditableC* pOriginal) : StoredImportC(pOriginal) {}
  ~ShaderImportC() override;

  const char* kind() const override { return "Shader"; }
  uint32_t max_file_size() const override;
  // Any text: the compiler judges it.
  bool use_bytes(const StoredFileC& rFile, std::string* pError) override;
  void clear_state() override { m_pCompiled.reset(); }
  void share_state(StoredImportC* pSource) override;

 private:
  // What the one compilation of the source made, shared by restore copies.
  struct CompiledS {
    std::unique_ptr<GlslFunctionsS> m_pFunctions;
    std::unique_ptr<GlslProgramC> m_pProgram;
    std::string m_sLog;
    bool m_bCompiled = false;
  };

  void compile(DeviceDriverBaseC* pDevice);

  std::shared_ptr<CompiledS> m_pCompiled;
  std::string m_sInfo;
};

#endif
