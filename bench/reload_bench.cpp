// Reloading the bundled example after a save, as --watch does: the time
// from writing the description to the player holding the new document (the
// watch's wait for the writing to settle included), next to the first load
// of the same description (build and read, without a window). In a window
// on the display it is given (run.sh gives it a virtual X display: SDL's
// offscreen video driver does not pace the swaps, so Mesa queues frames and
// then stalls for up to a second and a half, which no display does), the
// music on the dummy audio driver.
#include <SDL2/SDL.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "corelib/devicedriverbasec.h"
#include "corelib/devicetablec.h"
#include "player/playerc.h"

namespace {

using ClockT = std::chrono::steady_clock;
constexpr int32_t SAVES = 10;
constexpr int32_t TARGET_MS = 200;

double ms_since(ClockT::time_point rStart) {
  return std::chrono::duration<double, std::milli>(ClockT::now() - rStart).count();
}

double median(std::vector<double> rValues) {
  std::sort(rValues.begin(), rValues.end());
  return rValues[rValues.size() / 2];
}

// Saves the description again, unchanged, every few frames, and notes when
// the player has the new document: its scene is another object then.
class SaverC : public FrameObserverC {
 public:
  SaverC(PlayerC* pPlayer, std::string sPath, std::string sText)
      : m_pPlayer(pPlayer), m_sPath(std::move(sPath)), m_sText(std::move(sText)) {}

  void frame_drawn(int32_t) override {
    if (m_bSaved && m_pPlayer->get_scene() != m_pScene) {
      m_rSaveToNew.push_back(ms_since(m_rSaved));
      m_bSaved = false;
    }
    if (!m_bSaved && ++m_i32Frames % 5 == 0) {
      if (static_cast<int32_t>(m_rSaveToNew.size()) == SAVES) {
        quit();
        return;
      }
      m_pScene = m_pPlayer->get_scene();
      const std::string sTemporary = m_sPath + ".saving";
      std::ofstream(sTemporary) << m_sText;
      std::rename(sTemporary.c_str(), m_sPath.c_str());
      m_rSaved = ClockT::now();
      m_bSaved = true;
    }
  }

  std::vector<double> m_rSaveToNew;

 private:
  void quit() {
    SDL_Event rEvent{};
    rEvent.type = SDL_KEYDOWN;
    DeviceDriverBaseC* pDevice = m_pPlayer->get_device_table()->find_by_super_class(SUPERCLASS_GRAPHICS_DEVICE);
    rEvent.key.windowID = SDL_GetWindowID(static_cast<SDL_Window*>(pDevice->get_window()));
    rEvent.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&rEvent);
  }

  PlayerC* m_pPlayer;
  std::string m_sPath;
  std::string m_sText;
  SceneC* m_pScene = nullptr;
  bool m_bSaved = false;
  int32_t m_i32Frames = 0;
  ClockT::time_point m_rSaved;
};

}  // namespace

int main(int iArgCount, char** ppArgs) {
  if (iArgCount != 3) {
    std::fprintf(stderr, "usage: reload_bench PLUGINS EXAMPLE.json\n");
    return 2;
  }
  const std::string sPlugins = std::filesystem::absolute(ppArgs[1]).string();
  const std::filesystem::path rExample = std::filesystem::absolute(ppArgs[2]);
  std::ifstream rIn(rExample);
  std::stringstream rText;
  rText << rIn.rdbuf();
  // A copy beside the example, so that its files and music are found as the
  // example's are.
  const std::string sCopy = (rExample.parent_path() / "reload-bench.json").string();
  std::ofstream(sCopy) << rText.str();
  if (chdir(rExample.parent_path().c_str()) != 0) {
    return 1;
  }

  PlayerC rPlayer;
  rPlayer.get_class_registry()->load_plugins(sPlugins.c_str());
  rPlayer.init(nullptr, false);
  const ClockT::time_point rStart = ClockT::now();
  if (rPlayer.load(sCopy.c_str()) != 0) {
    std::fprintf(stderr, "bench: cannot load %s\n", sCopy.c_str());
    return 1;
  }
  const double f64FirstLoad = ms_since(rStart);
  SaverC rSaver(&rPlayer, sCopy, rText.str());
  PlaybackControlS rControl;
  rControl.m_bWatch = true;
  rControl.m_bTransport = true;
  rPlayer.set_playback_control(rControl);
  rPlayer.set_frame_observer(&rSaver);
  const int iResult = rPlayer.run();
  std::remove(sCopy.c_str());
  if (iResult != 0 || rSaver.m_rSaveToNew.size() != SAVES) {
    std::fprintf(stderr, "bench: the example did not play through its saves\n");
    return 1;
  }
  const double f64SaveToNew = median(rSaver.m_rSaveToNew);
  std::printf("example first load (build and read):   %7.1f ms\n", f64FirstLoad);
  std::printf("save to new document (median of %d):   %7.1f ms  (%.2f x first load; max %.1f ms)\n", SAVES,
              f64SaveToNew, f64SaveToNew / f64FirstLoad,
              *std::max_element(rSaver.m_rSaveToNew.begin(), rSaver.m_rSaveToNew.end()));
  std::printf("target: under %d ms: %s\n", TARGET_MS, f64SaveToNew < TARGET_MS ? "met" : "MISSED");
  return 0;
}
