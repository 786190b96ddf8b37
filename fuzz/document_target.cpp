// Whole documents through the player's loader, with the shipped plug-ins
// (fliksel, the OpenGL driver) and the test plug-ins registered, so scene,
// layers, segments, parameters, tracks, embedded AVI files and file fixups
// are all reached. Inputs that begin with "{" are descriptions, which the
// loader builds into a document first.
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzzinputfile.h"
#include "fuzz/quietstderrc.h"
#include "player/playerc.h"

namespace {

PlayerC* make_player() {
  // Message boxes must only ever reach stderr.
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  PlayerC* pPlayer = new PlayerC();
  {
    QuietStderrC rQuiet;
    pPlayer->get_class_registry()->load_plugins(TIRAVO_FUZZ_PLUGIN_DIR);
    pPlayer->get_class_registry()->load_plugins(TIRAVO_FUZZ_TEST_PLUGIN_DIR);
  }
  if (!pPlayer->init(nullptr, false)) {
    std::abort();
  }
  return pPlayer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uiSize) {
  // One player for the process: the plug-in libraries stay loaded, and each
  // load replaces the previous document.
  static PlayerC* s_pPlayer = make_player();
  static const TempFileC s_rFile;
  write_fuzz_input(s_rFile, nullptr, 0, pData, uiSize);
  QuietStderrC rQuiet;
  s_pPlayer->load(s_rFile.path());
  return 0;
}
