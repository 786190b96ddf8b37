#ifndef TESTS_FLIKSEL_FLIKSELTEST_H
#define TESTS_FLIKSEL_FLIKSELTEST_H

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "corelib/effectbasec.h"
#include "corelib/graphicsimportablec.h"
#include "corelib/ownedobject.h"
#include "registry/classregistryc.h"
#include "tests/support/tempdirectoryc.h"

// What the tests know of fliksel.so: only what the player knows, its
// exports, its class identifiers and the shared interfaces.
static const ClassIdentC AVI_IMPORT_CLASS(0x221CA738, 0x431A45BA);
static const ClassIdentC VIDEO_PLAYER_CLASS(0x311832A9, 0x166D4653);
static const ClassIdentC MOVIE_IMPORT_CLASS(0x5C3E91D4, 0x27B8A06F);

inline std::string media(const char* szName) { return std::string(FLIKSEL_MEDIA) + "/" + szName; }
// The movie test matrix, made by the fixture the tests require.
inline std::string movie(const char* szName) { return std::string(FLIKSEL_MOVIE_MATRIX) + "/" + szName; }

// solid.avi: 100 frames of 64 × 32 at 25 per second, frame n in one colour.
constexpr int32_t SOLID_FRAME_COUNT = 100;
inline std::array<int, 3> solid_colour(int32_t i32Frame) {
  return {15 + 25 * (i32Frame % 10), 15 + 25 * (i32Frame / 10), 128};
}

// A plug-in directory with fliksel.so (and whatever else a test adds),
// loaded by the player's registry.
class FlikselTest : public ::testing::Test {
 protected:
  void load_plugins(bool bWithDriverAndRect = false) {
    // The codec libraries that fliksel.so brings in allocate while they load
    // and keep that memory in their globals: unloaded with the registry, they
    // would leave it to the leak checker. So they stay for the whole program.
    static void* const s_pKeptLoaded = dlopen(FLIKSEL_PLUGIN, RTLD_NOW | RTLD_NODELETE);
    ASSERT_NE(nullptr, s_pKeptLoaded) << dlerror();
    std::filesystem::create_directory(plugin_directory());
    std::filesystem::create_symlink(FLIKSEL_PLUGIN, plugin_directory() + "/fliksel.so");
    if (bWithDriverAndRect) {
      std::filesystem::create_symlink(TIRAVO_OPENGL_PLUGIN, plugin_directory() + "/opengl.so");
      std::filesystem::create_symlink(TIRAVO_TESTRECT_PLUGIN, plugin_directory() + "/testrect.so");
    }
    testing::internal::CaptureStderr();
    m_rRegistry.load_plugins(plugin_directory().c_str());
    m_sLoadOutput = testing::internal::GetCapturedStderr();
  }

  std::string plugin_directory() const { return m_rDirectory.file("plugins"); }

  template <class T>
  OwnedT<T> create(const ClassIdentC& rClass) {
    DataObjectC* pObject = m_rRegistry.create_object(rClass);
    T* pTyped = dynamic_cast<T*>(pObject);
    EXPECT_NE(nullptr, pTyped);
    return OwnedT<T>(pTyped);
  }

  OwnedT<GraphicsImportableC> import(const char* szMedia) { return import_as(AVI_IMPORT_CLASS, media(szMedia)); }
  OwnedT<GraphicsImportableC> import_movie(const char* szName) { return import_as(MOVIE_IMPORT_CLASS, movie(szName)); }
  OwnedT<GraphicsImportableC> import_as(const ClassIdentC& rClass, const std::string& rPath) {
    OwnedT<GraphicsImportableC> pVideo = create<GraphicsImportableC>(rClass);
    EXPECT_TRUE(pVideo->load_file(rPath.c_str(), nullptr)) << rPath;
    return pVideo;
  }

  TempDirectoryC m_rDirectory;
  ClassRegistryC m_rRegistry;
  std::string m_sLoadOutput;
};

#endif
