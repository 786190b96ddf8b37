#include <cstdint>

#include "corelib/dataobjectc.h"
#include "tests/support/testclassdescc.h"

// A plug-in library as a C compiler would build it: its four functions carry
// their plain names only. Our export header declares them with C++ linkage,
// so it is not included here.
#define PLAIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int PLAIN_API_VERSION = 6;

class PlainObjectC : public DataObjectC {
 public:
  DataObjectC* create() override { return new PlainObjectC(); }
};

class PlainDescC : public TestClassDescC {
 public:
  DataObjectC* make_object() override { return new PlainObjectC(); }
  int32_t get_class_kind() override { return 0; }
  ClassIdentC get_class_ident() override { return ClassIdentC(0x7E57AEC7, 0x00000002); }
  SuperClassIdentC get_super_class_ident() override { return SuperClassIdentC(0x7E570000); }
  const char* get_class_name() override { return "Plain Class"; }
  const char* get_description() override { return "A class of a library with plain export names"; }
};

PlainDescC g_rPlainDesc;

}  // namespace

PLAIN_EXPORT int get_classdesc_count() {
  return 1;
}

PLAIN_EXPORT int get_api_version() {
  return PLAIN_API_VERSION;
}

PLAIN_EXPORT const char* get_dll_name() {
  return "plainnames.so";
}

PLAIN_EXPORT PluginClass::ClassDescC* get_classdesc(int iIndex) {
  return iIndex == 0 ? &g_rPlainDesc : nullptr;
}
