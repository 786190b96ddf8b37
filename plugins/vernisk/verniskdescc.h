#ifndef PLUGINS_VERNISK_VERNISKDESCC_H
#define PLUGINS_VERNISK_VERNISKDESCC_H

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "corelib/classdescc.h"

// The descriptor of each of vernisk's classes: what differs between them is
// data, the maker and the OpenGL device driver they need are the same.
class VerniskDescC : public PluginClass::ClassDescC {
 public:
  using MakeT = DataObjectC* (*)();

  VerniskDescC(MakeT pMake, int32_t i32Kind, const ClassIdentC& rIdent, const SuperClassIdentC& rSuperClass,
               const char* szName, const char* szDescription, std::initializer_list<const char*> rExtensions = {});

  DataObjectC* make_object() override { return m_pMake(); }
  int32_t get_class_kind() override { return m_i32Kind; }
  ClassIdentC get_class_ident() override { return m_rIdent; }
  SuperClassIdentC get_super_class_ident() override { return m_rSuperClass; }
  const char* get_class_name() override { return m_szName; }
  const char* get_description() override { return m_szDescription; }
  const char* get_author() override;
  const char* get_copyright() override;
  const char* get_web_address() override;
  const char* get_help_location() override;
  int32_t get_extension_count() override { return static_cast<int32_t>(m_rExtensions.size()); }
  const char* get_extension(int32_t i32Index) override;
  int32_t get_driver_requirement_count() override { return 1; }
  const ClassIdentC* get_driver_requirement(int32_t i32Index) override;

 private:
  MakeT m_pMake;
  int32_t m_i32Kind;
  ClassIdentC m_rIdent;
  SuperClassIdentC m_rSuperClass;
  const char* m_szName;
  const char* m_szDescription;
  std::vector<const char*> m_rExtensions;
};

#endif
