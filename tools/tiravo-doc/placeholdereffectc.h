#ifndef TOOLS_TIRAVO_DOC_PLACEHOLDEREFFECTC_H
#define TOOLS_TIRAVO_DOC_PLACEHOLDEREFFECTC_H

#include <cstdint>
#include <string>

#include "corelib/affine2c.h"
#include "corelib/classdescc.h"
#include "corelib/effectbasec.h"

// Stands in for an effect whose class no plug-in provides, so that a layer
// goes on loading the effects after it. It reads nothing: its chunk is
// reported as belonging to a missing class.
class PlaceholderEffectC : public EffectBaseC {
 public:
  PlaceholderEffectC(const ClassIdentC& rClass, const std::string& rClassName);

  DataObjectC* create() override;
  EditableC* create_linked(EditableC* pOriginal) override;
  void copy(EditableC* pSource) override;
  void restore(EditableC* pSource) override;
  int32_t save(ChunkWriterC* pWriter) override;
  int32_t load(ChunkReaderC* pReader) override;

  int32_t get_gizmo_count() override { return 0; }
  GizmoBaseC* get_gizmo(int32_t) override { return nullptr; }
  ClassIdentC get_class_ident() override { return m_rClass; }
  const char* get_class_name() override { return m_sClassName.c_str(); }
  void set_default_file(ImportHandleC*) override {}
  ParamBaseC* get_default_param(int32_t) override { return nullptr; }
  bool hit_test(const Vector2C&) override { return false; }
  void prepare(int32_t, DeviceTableC*, TimeBaseC*) override {}
  void evaluate(int32_t, TimeBaseC*) override {}
  void draw(DeviceTableC*) override {}
  Box2C get_bbox() override;
  const Affine2C& get_transform() override { return m_rTransform; }

 private:
  ~PlaceholderEffectC() override = default;

  ClassIdentC m_rClass;
  std::string m_sClassName;
  Affine2C m_rTransform;
};

// The descriptor that makes placeholders for one missing class, under the
// class name the document stored.
class PlaceholderDescC : public PluginClass::ClassDescC {
 public:
  PlaceholderDescC(const ClassIdentC& rClass, const std::string& rClassName);

  DataObjectC* make_object() override;
  int32_t get_class_kind() override { return PluginClass::CLASS_KIND_EFFECT; }
  ClassIdentC get_class_ident() override { return m_rClass; }
  SuperClassIdentC get_super_class_ident() override { return SUPERCLASS_EFFECT; }
  const char* get_class_name() override { return m_sClassName.c_str(); }
  const char* get_description() override { return ""; }
  const char* get_author() override { return ""; }
  const char* get_copyright() override { return ""; }
  const char* get_web_address() override { return ""; }
  const char* get_help_location() override { return ""; }
  int32_t get_extension_count() override { return 0; }
  const char* get_extension(int32_t) override { return nullptr; }
  int32_t get_driver_requirement_count() override { return 0; }
  const ClassIdentC* get_driver_requirement(int32_t) override { return nullptr; }

 private:
  ClassIdentC m_rClass;
  std::string m_sClassName;
};

#endif
