// Frames per second of presentations of videos, drawn offscreen by the
// shipped OpenGL driver (Mesa's software renderer, no window) as fast as
// they go: each drawn frame is 125 ms of presentation time later than the
// one before, and the documents step their videos by one frame per 125 ms,
// so every drawn frame shows a new picture of each video (or, in a still
// reference, the same one). The documents take turns, round after round, so
// the machine's load falls on all alike; the figure of each is its best
// round. Ratios are against the first document.
//
// videoplayback_bench PLUGIN_DIRECTORY FRAMES NAME=DOCUMENT...
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/countingsinkc.h"
#include "player/playerc.h"

namespace {

constexpr int32_t ROUNDS = 3;
constexpr int32_t FRAME_MS = 125;

// Frames per second of one run of the document, 0 when it cannot play.
double play(const char* szPluginDirectory, const std::string& sDocument, int32_t i32Frames) {
  PlayerC rPlayer;
  rPlayer.get_class_registry()->load_plugins(szPluginDirectory);
  // One frame more than measured: the first, drawn while things warm up.
  CountingSinkC rSink(FRAME_MS, i32Frames + 1);
  rPlayer.set_offline_render(&rSink);
  if (!rPlayer.init(nullptr, false) || rPlayer.load(sDocument.c_str()) != 0) {
    std::fprintf(stderr, "videoplayback_bench: cannot load %s\n", sDocument.c_str());
    return 0.0;
  }
  if (rPlayer.run() != 0) {
    return 0.0;
  }
  const double f64Ms = rSink.ms_a_frame();
  return f64Ms > 0.0 ? 1000.0 / f64Ms : 0.0;
}

struct EntryC {
  std::string m_sName;
  std::string m_sDocument;
  double m_f64Best = 0.0;
};

}  // namespace

int main(int iArgCount, char** ppArgs) {
  if (iArgCount < 4) {
    std::fprintf(stderr, "Usage: videoplayback_bench PLUGIN_DIRECTORY FRAMES NAME=DOCUMENT...\n");
    return 2;
  }
  const int32_t i32Frames = std::max(2, std::atoi(ppArgs[2]));
  std::vector<EntryC> rEntries;
  for (int32_t i = 3; i < iArgCount; ++i) {
    const std::string sArgument = ppArgs[i];
    const size_t uiAt = sArgument.find('=');
    if (uiAt == std::string::npos) {
      std::fprintf(stderr, "videoplayback_bench: %s is not NAME=DOCUMENT\n", ppArgs[i]);
      return 2;
    }
    rEntries.push_back({sArgument.substr(0, uiAt), sArgument.substr(uiAt + 1)});
  }
  for (int32_t i32Round = 0; i32Round < ROUNDS; ++i32Round) {
    for (EntryC& rEntry : rEntries) {
      const double f64Fps = play(ppArgs[1], rEntry.m_sDocument, i32Frames);
      if (f64Fps <= 0.0) {
        return 1;
      }
      rEntry.m_f64Best = std::max(rEntry.m_f64Best, f64Fps);
    }
  }
  std::printf("%-40s %8s %8s\n", "presentation", "fps", "ratio");
  for (const EntryC& rEntry : rEntries) {
    std::printf("%-40s %8.1f %8.2f\n", rEntry.m_sName.c_str(), rEntry.m_f64Best,
                rEntry.m_f64Best / rEntries.front().m_f64Best);
  }
  return 0;
}
