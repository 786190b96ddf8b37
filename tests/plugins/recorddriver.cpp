// recorddriver.so: a graphics device driver that opens nothing and says on
// standard error how the player initialised it, so a test of the real
// program can see the display mode and colour depth it chose.
#include <cstdio>

#include "corelib/classdescc.h"
#include "corelib/devicedriverbasec.h"
#include "corelib/pluginexports.h"
#include "docfile/chunkreaderc.h"
#include "tests/plugins/recorddriver.h"

namespace {

class RecordDriverC : public DeviceDriverBaseC {
 public:
  DataObjectC* create() override { return new RecordDriverC(); }
  SuperClassIdentC get_super_class_ident() override { return SUPERCLASS_GRAPHICS_DEVICE; }
  ClassIdentC get_class_ident() override { return RECORD_DRIVER_CLASS; }
  int32_t get_state() override { return 0; }
  DeviceInterfaceC* query_interface(const SuperClassIdentC&) override { return nullptr; }
  int32_t load(ChunkReaderC*) override { return CHUNK_OK; }
  bool init_device(void*, void*, int32_t, int32_t i32Mode, int32_t, int32_t, int32_t i32BitsPerPixel,
                   HostInterfaceC*) override {
    std::fprintf(stderr, RECORD_DRIVER_LINE, i32Mode, i32BitsPerPixel);
    return true;
  }
  void end_frame() override {}
  void begin_frame() override {}
  void* get_window() override { return nullptr; }
  void clear_buffers(uint32_t, const RgbaColorC&, float, int32_t) override {}
  void activate() override {}
  void deactivate() override {}
  void begin_draw() override {}
  void end_draw() override {}
};

class RecordDriverDescC : public PluginClass::ClassDescC {
 public:
  DataObjectC* make_object() override { return new RecordDriverC(); }
  int32_t get_class_kind() override { return PluginClass::CLASS_KIND_DEVICE_DRIVER; }
  ClassIdentC get_class_ident() override { return RECORD_DRIVER_CLASS; }
  SuperClassIdentC get_super_class_ident() override { return SUPERCLASS_GRAPHICS_DEVICE; }
  const char* get_class_name() override { return RECORD_DRIVER_CLASS_NAME; }
  const char* get_description() override { return "Records how it is initialised"; }
  const char* get_author() override { return "tiravo developers"; }
  const char* get_copyright() override { return "(c) 2026 tiravo developers"; }
  const char* get_web_address() override { return ""; }
  const char* get_help_location() override { return ""; }
  int32_t get_extension_count() override { return 0; }
  const char* get_extension(int32_t) override { return nullptr; }
  int32_t get_driver_requirement_count() override { return 0; }
  const ClassIdentC* get_driver_requirement(int32_t) override { return nullptr; }
};

RecordDriverDescC g_rRecordDriverDesc;

}  // namespace

PLUGIN_EXPORT int get_classdesc_count() {
  return 1;
}

PLUGIN_EXPORT int get_api_version() {
  return PLUGIN_API_VERSION;
}

PLUGIN_EXPORT const char* get_dll_name() {
  return "recorddriver.so - Record Driver";
}

PLUGIN_EXPORT PluginClass::ClassDescC* get_classdesc(int iIndex) {
  return iIndex == 0 ? &g_rRecordDriverDesc : nullptr;
}
