// Whole documents through the player's loader, with the shipped plug-ins
// (fliksel, the OpenGL driver) and the test plug-ins registered, so scene,
// layers, segments, parameters, tracks, embedded AVI files and file fixups
// are all reached.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzztempfilec.h"
#include "player/playerc.h"

namespace {

// Load errors are reported for nearly every input; they would bury
// libFuzzer's own output. TIRAVO_FUZZ_VERBOSE=1 keeps them.
class QuietStderrC {
 public:
  QuietStderrC() {
    if (!s_bQuiet) {
      return;
    }
    std::fflush(stderr);
    m_iSaved = dup(2);
    const int iNull = open("/dev/null", O_WRONLY);
    if (iNull >= 0) {
      dup2(iNull, 2);
      close(iNull);
    }
  }
  ~QuietStderrC() {
    if (m_iSaved >= 0) {
      std::fflush(stderr);
      dup2(m_iSaved, 2);
      close(m_iSaved);
    }
  }
  static bool s_bQuiet;

 private:
  int m_iSaved = -1;
};
bool QuietStderrC::s_bQuiet = true;

PlayerC* make_player() {
  // Message boxes must only ever reach stderr.
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  const char* szVerbose = std::getenv("TIRAVO_FUZZ_VERBOSE");
  QuietStderrC::s_bQuiet = !(szVerbose && *szVerbose == '1');
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
  static FuzzTempFileC s_rFile;
  s_rFile.write(nullptr, 0, pData, uiSize);
  QuietStderrC rQuiet;
  s_pPlayer->load(s_rFile.path());
  return 0;
}
