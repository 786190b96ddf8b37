#ifndef TESTS_SUPPORT_TESTDRIVERC_H
#define TESTS_SUPPORT_TESTDRIVERC_H

#include <cstdint>

#include "corelib/classidentc.h"
#include "corelib/devicedriverbasec.h"
#include "docfile/chunkreaderc.h"
#include "tests/support/livecountc.h"
#include "tests/support/testclassdescc.h"

// A device driver for tests that does nothing but answer its identifiers. It
// counts live instances so that lost or doubly released drivers show up.
class TestDriverC : public DeviceDriverBaseC {
 public:
  static ClassIdentC default_class_ident() { return ClassIdentC(0x7E57D21F, 0x00000001); }
  static int32_t live_count() { return LiveCountC<TestDriverC>::count(); }
  static TestDriverC* make(const ClassIdentC& rClass = default_class_ident(),
                           const SuperClassIdentC& rSuperClass = SUPERCLASS_GRAPHICS_DEVICE) {
    return new TestDriverC(rClass, rSuperClass);
  }

  DataObjectC* create() override { return make(m_rClass, m_rSuperClass); }
  SuperClassIdentC get_super_class_ident() override { return m_rSuperClass; }
  ClassIdentC get_class_ident() override { return m_rClass; }
  int32_t get_state() override { return m_i32State; }
  DeviceInterfaceC* query_interface(const SuperClassIdentC&) override { return nullptr; }
  int32_t load(ChunkReaderC*) override { return CHUNK_OK; }
  bool init_device(void*, void*, int32_t, int32_t, int32_t, int32_t, int32_t, HostInterfaceC*) override {
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

  // What get_state answers.
  int32_t m_i32State = 0;

 private:
  TestDriverC(const ClassIdentC& rClass, const SuperClassIdentC& rSuperClass)
      : m_rClass(rClass), m_rSuperClass(rSuperClass) {}
  ~TestDriverC() override = default;

  ClassIdentC m_rClass;
  SuperClassIdentC m_rSuperClass;
  LiveCountC<TestDriverC> m_rLiveCount;
};

// Descriptor of a test driver class; it counts the objects it has made so that
// tests can tell which of several descriptors of one class was used.
class TestDriverDescC : public TestClassDescC {
 public:
  explicit TestDriverDescC(const ClassIdentC& rClass = TestDriverC::default_class_ident(),
                           const char* szName = "Test Driver")
      : m_rClass(rClass), m_szName(szName) {}

  DataObjectC* make_object() override {
    ++m_i32MadeCount;
    return TestDriverC::make(m_rClass, SUPERCLASS_GRAPHICS_DEVICE);
  }
  // Drivers are neither effects nor importables.
  int32_t get_class_kind() override { return 0; }
  ClassIdentC get_class_ident() override { return m_rClass; }
  SuperClassIdentC get_super_class_ident() override { return SUPERCLASS_GRAPHICS_DEVICE; }
  const char* get_class_name() override { return m_szName; }
  const char* get_description() override { return "Device driver for tests"; }

  int32_t m_i32MadeCount = 0;

 private:
  ClassIdentC m_rClass;
  const char* m_szName;
};

#endif
