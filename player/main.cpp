#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "corelib/scenec.h"
#include "platform/codecsettings.h"
#include "platform/debugoutput.h"
#include "platform/display.h"
#include "platform/dynamiclibrary.h"
#include "platform/optionsdialog.h"
#include "player/commandlinec.h"
#include "player/framestatsc.h"
#include "player/offlinerenderc.h"
#include "player/playerc.h"
#include "player/pngframesc.h"
#include "player/videoexportc.h"
#include "registry/classregistryc.h"
#include "registry/pluginlisting.h"
#include "registry/pluginsearch.h"

namespace {

constexpr const char* VERSION_TEXT = "tiravo " TIRAVO_VERSION "\n";
// A run that fails, played or rendered, ends as the player's own failures do:
// -1, which the shell sees as 255.
constexpr int EXIT_FAILURE_CODE = -1;
constexpr int EXIT_USAGE = 2;

// Whether to play fullscreen, asking with the options dialog when the command
// line does not say. False when the user chose to quit.
bool choose_display(const CommandLineS& rLine, bool* pFullscreen, int* pExitCode) {
  if (rLine.m_eRender != RENDER_NONE || rLine.m_eDisplay != DISPLAY_ASK) {
    *pFullscreen = rLine.m_eDisplay == DISPLAY_FULLSCREEN;
    return true;
  }
  if (!display_available()) {
    std::fprintf(stderr,
                 "tiravo: no display to show the options dialog on; use --windowed, --fullscreen "
                 "or --render\n");
    *pExitCode = 1;
    return false;
  }
  *pExitCode = 0;
  return run_options_dialog(pFullscreen) == DIALOG_RESULT_HAPPY;
}

// A plug-in folder named on the command line must be readable: a mistyped
// one would leave the presentation without its classes.
bool plugin_folder_readable(const std::string& rFolder) {
  std::string sReason;
  if (rFolder.empty() || can_read_directory(rFolder, &sReason)) {
    return true;
  }
  std::fprintf(stderr, "tiravo: cannot read the plug-in folder %s: %s\n", rFolder.c_str(), sReason.c_str());
  return false;
}

// The listing of every library found; exit code 1 when there is none.
int list_plugins(const std::string& rFolder) {
  ClassRegistryC rRegistry;
  const std::vector<std::string> rFolders = find_plugins(&rRegistry, rFolder);
  if (rRegistry.get_plugin_files().empty()) {
    std::fprintf(stderr, "tiravo: no plug-in libraries found in %s\n", folder_list_text(rFolders).c_str());
    return 1;
  }
  std::fputs(plugin_listing(&rRegistry).c_str(), stdout);
  return 0;
}

bool make_render_directory(const std::string& rDirectory) {
  if (mkdir(rDirectory.c_str(), 0777) == 0 || errno == EEXIST) {
    return true;
  }
  std::fprintf(stderr, "tiravo: cannot make %s: %s\n", rDirectory.c_str(), std::strerror(errno));
  return false;
}

bool resolve_time(const char* szOption, const PresentationTimeS& rTime, SceneC* pScene, int32_t* pTicks) {
  std::string sError;
  if (!resolve_presentation_time(rTime, pScene, pTicks, &sError)) {
    std::fprintf(stderr, "tiravo: %s: %s\n", szOption, sError.c_str());
    return false;
  }
  return true;
}

// The times of --start, --loop, --from and --to in the loaded scene's ticks. Those who
// make a presentation get the transport keys: with either option, or when
// playing a description. *pUsage when the command line asks for what the
// presentation does not have.
bool playback_control(const CommandLineS& rLine, PlayerC* pPlayer, OfflineRenderC* pRender,
                      PlaybackControlS* pControl, bool* pUsage) {
  SceneC* pScene = pPlayer->get_scene();
  if (rLine.m_bHasLoop) {
    std::string sError;
    if (!resolve_presentation_span(rLine.m_rLoop, pScene, &pControl->m_i32LoopFrom, &pControl->m_i32LoopTo,
                                   &sError)) {
      std::fprintf(stderr, "tiravo: --loop: %s\n", sError.c_str());
      return false;
    }
    pControl->m_bLoop = true;
    pControl->m_rLoopSpan = rLine.m_rLoop;
    pControl->m_i32StartPosition = pControl->m_i32LoopFrom;
  }
  if (rLine.m_bHasStart && !resolve_time("--start", rLine.m_rStart, pScene, &pControl->m_i32StartPosition)) {
    return false;
  }
  if (rLine.m_bHasStart && pControl->m_i32StartPosition > pScene->get_end_time()) {
    std::fprintf(stderr, "tiravo: --start: %.3f s is past the presentation's end at %.3f s\n",
                 pControl->m_i32StartPosition / scene_ticks_per_second(pScene),
                 pScene->get_end_time() / scene_ticks_per_second(pScene));
    *pUsage = true;
    return false;
  }
  if (pRender) {
    int32_t i32From = 0;
    int32_t i32To = 0;
    if ((rLine.m_bHasFrom && !resolve_time("--from", rLine.m_rFrom, pScene, &i32From)) ||
        (rLine.m_bHasTo && !resolve_time("--to", rLine.m_rTo, pScene, &i32To))) {
      return false;
    }
    if (rLine.m_bHasFrom && rLine.m_bHasTo && i32To <= i32From) {
      std::fprintf(stderr, "tiravo: --to comes before --from\n");
      return false;
    }
    // A span to the end time or past it ends as the whole does, its end
    // frame drawn.
    const bool bToTheEnd = !rLine.m_bHasTo || i32To >= pScene->get_end_time();
    const double f64TicksPerSecond = scene_ticks_per_second(pScene);
    pRender->set_span(ticks_to_ms(i32From, f64TicksPerSecond), bToTheEnd ? -1 : ticks_to_ms(i32To, f64TicksPerSecond));
  }
  pControl->m_bWatch = rLine.m_bWatch;
  pControl->m_bTransport = rLine.m_eRender == RENDER_NONE &&
                           (rLine.m_bHasStart || rLine.m_bHasLoop || rLine.m_bWatch || pPlayer->is_description());
  return true;
}

int play(const CommandLineS& rLine, bool bFullscreen, OfflineRenderC* pRender) {
  PlayerC rPlayer;
  find_plugins(rPlayer.get_class_registry(), rLine.m_sPluginDirectory);
  if (!rPlayer.init(nullptr, bFullscreen)) {
    debug_output("init failed\n");
    return EXIT_FAILURE_CODE;
  }
  if (rPlayer.load(rLine.m_sDocument.c_str()) != 0) {
    debug_output("load failed\n");
    return EXIT_FAILURE_CODE;
  }
  PlaybackControlS rControl;
  bool bUsage = false;
  if (!playback_control(rLine, &rPlayer, pRender, &rControl, &bUsage)) {
    return bUsage ? EXIT_USAGE : EXIT_FAILURE_CODE;
  }
  rPlayer.set_playback_control(rControl);
  rPlayer.set_offline_render(pRender);
  FrameStatsC rStats(rPlayer.get_clock());
  if (rLine.m_bStats) {
    rPlayer.set_frame_observer(&rStats);
  }
  const int iResult = rPlayer.run();
  if (rLine.m_bStats) {
    rStats.print(stdout);
  }
  if (pRender && pRender->has_failed()) {
    return EXIT_FAILURE_CODE;
  }
  return iResult;
}

// Plays the document offline into pOutput; the exit code.
int render(const CommandLineS& rLine, FrameOutputC* pOutput) {
  OfflineRenderC rRender(pOutput, rLine.m_rFps, rLine.m_i32Width, rLine.m_i32Height);
  int iResult = play(rLine, false, &rRender);
  if (iResult == 0 && !rRender.finish()) {
    iResult = EXIT_FAILURE_CODE;
  }
  if (iResult == 0) {
    std::fprintf(stderr, "Rendered %d frames of %d x %d into %s\n", rRender.get_frame_count(), rRender.get_width(),
                 rRender.get_height(), rLine.m_sRenderPath.c_str());
  }
  return iResult;
}

}  // namespace

int main(int iArgCount, char** ppArgs) {
  codec_log_errors_only();
  CommandLineS rLine;
  std::string sError;
  if (!parse_command_line(iArgCount, ppArgs, &rLine, &sError)) {
    std::fprintf(stderr, "tiravo: %s\n%s", sError.c_str(), USAGE_TEXT);
    return EXIT_USAGE;
  }
  if (rLine.m_bHelp) {
    std::fputs(USAGE_TEXT, stdout);
    return 0;
  }
  if (rLine.m_bVersion) {
    std::fputs(VERSION_TEXT, stdout);
    return 0;
  }
  if (!plugin_folder_readable(rLine.m_sPluginDirectory)) {
    return EXIT_USAGE;
  }
  if (rLine.m_bListPlugins) {
    return list_plugins(rLine.m_sPluginDirectory);
  }
  bool bFullscreen = false;
  int iExitCode = 0;
  if (!choose_display(rLine, &bFullscreen, &iExitCode)) {
    return iExitCode;
  }
  if (rLine.m_eRender == RENDER_NONE) {
    return play(rLine, bFullscreen, nullptr);
  }
  if (rLine.m_eRender == RENDER_VIDEO) {
    VideoExportC rVideo(rLine.m_sRenderPath);
    return render(rLine, &rVideo);
  }
  if (!make_render_directory(rLine.m_sRenderPath)) {
    return EXIT_FAILURE_CODE;
  }
  PngFramesC rFrames(rLine.m_sRenderPath);
  return render(rLine, &rFrames);
}
