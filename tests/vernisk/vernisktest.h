#ifndef TESTS_VERNISK_VERNISKTEST_H
#define TESTS_VERNISK_VERNISKTEST_H

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "corelib/ownedobject.h"
#include "registry/classregistryc.h"
#include "tests/endtoend/tiravoprocessc.h"
#include "tests/support/renderedframec.h"
#include "tests/support/tempdirectoryc.h"

// What the tests know of vernisk.so: only what the player knows, its
// exports, its class identifiers and the shared interfaces.
static const ClassIdentC IMAGE_IMPORT_CLASS(0x408B22FD, 0xF07D86BE);
static const ClassIdentC SHADER_IMPORT_CLASS(0x73F7CB14, 0x45D374EB);
static const ClassIdentC FONT_IMPORT_CLASS(0xB75B81AE, 0xBFE598E0);
static const ClassIdentC TEXT_IMPORT_CLASS(0x34C58BAD, 0xB70B4F65);
static const ClassIdentC SHADER_EFFECT_CLASS(0xA9C9B681, 0x4032878A);
static const ClassIdentC TEXT_EFFECT_CLASS(0xA4E63084, 0x0C4F6F41);

inline std::string media(const std::string& rName) { return std::string(VERNISK_MEDIA) + "/" + rName; }

inline std::vector<uint8_t> read_bytes(const std::string& rPath) {
  std::ifstream rIn(rPath, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(rIn)), std::istreambuf_iterator<char>());
}

inline void write_text(const std::string& rPath, const std::string& rText) {
  std::ofstream(rPath, std::ios::binary) << rText;
}

// A plug-in directory with vernisk.so, fliksel.so and the OpenGL driver,
// loaded by the player's registry; presentations described in JSON and
// rendered by the real tiravo.
class VerniskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The codec libraries that the plug-ins bring in allocate while they load
    // and keep that memory in their globals: unloaded with the registry, they
    // would leave it to the leak checker. So they stay for the whole program.
    static void* const s_pVernisk = dlopen(VERNISK_PLUGIN, RTLD_NOW | RTLD_NODELETE);
    ASSERT_NE(nullptr, s_pVernisk) << dlerror();
    std::filesystem::create_directory(plugin_directory());
    std::filesystem::create_symlink(VERNISK_PLUGIN, plugin_directory() + "/vernisk.so");
    std::filesystem::create_symlink(FLIKSEL_PLUGIN, plugin_directory() + "/fliksel.so");
    std::filesystem::create_symlink(TIRAVO_OPENGL_PLUGIN, plugin_directory() + "/opengl.so");
    // Mesa may leave its own allocations behind at exit.
    m_rProcess.set_variable("ASAN_OPTIONS", "detect_leaks=0");
  }

  void load_plugins() {
    testing::internal::CaptureStderr();
    m_rRegistry.load_plugins(plugin_directory().c_str());
    testing::internal::GetCapturedStderr();
  }

  std::string plugin_directory() const { return m_rDirectory.file("plugins"); }

  template <class T>
  OwnedT<T> create(const ClassIdentC& rClass) {
    DataObjectC* pObject = m_rRegistry.create_object(rClass);
    T* pTyped = dynamic_cast<T*>(pObject);
    EXPECT_NE(nullptr, pTyped);
    if (!pTyped && pObject) {
      pObject->release();
    }
    return OwnedT<T>(pTyped);
  }

  // Renders the description show.json, frames at i32Fps from 0 to its end.
  TiravoProcessC::ResultS render(const std::string& rDescription, int32_t i32Fps = 1) {
    write_text(m_rDirectory.file("show.json"), rDescription);
    return m_rProcess.run(m_rDirectory.path(), {"--render", "frames", "--fps", std::to_string(i32Fps), "--plugins",
                                                plugin_directory(), "show.json"});
  }

  RenderedFrameC frame(int32_t i32Index) const { return RenderedFrameC(m_rDirectory.file("frames"), i32Index); }

  TempDirectoryC m_rDirectory;
  ClassRegistryC m_rRegistry;
  TiravoProcessC m_rProcess;
};

#endif
