#ifndef TESTS_SUPPORT_TESTCLASSDESCC_H
#define TESTS_SUPPORT_TESTCLASSDESCC_H

#include <cstdint>

#include "corelib/classdescc.h"

// What the descriptors of every test class answer alike: their authors, no
// help, no file extensions and no required drivers.
class TestClassDescC : public PluginClass::ClassDescC {
 public:
  const char* get_author() override { return "tiravo developers"; }
  const char* get_copyright() override { return "(c) 2026 tiravo developers"; }
  const char* get_web_address() override { return ""; }
  const char* get_help_location() override { return ""; }
  int32_t get_extension_count() override { return 0; }
  const char* get_extension(int32_t) override { return nullptr; }
  int32_t get_driver_requirement_count() override { return 0; }
  const ClassIdentC* get_driver_requirement(int32_t) override { return nullptr; }
};

#endif
