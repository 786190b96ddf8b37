#include "player/commandlinec.h"

#include <cstdlib>
#include <cstring>

const char* const USAGE_TEXT =
    "Usage: tiravo [--windowed | --fullscreen] [--plugins DIR] [--render DIR [--fps N]] [DOCUMENT]\n"
    "Plays a presentation document (default: data) with the plug-in libraries of\n"
    "DIR (default: plugins). Without --windowed or --fullscreen it asks first.\n"
    "\n"
    "  --windowed      play in a window, without asking\n"
    "  --fullscreen    play fullscreen, without asking\n"
    "  --plugins DIR   load the plug-in libraries from DIR\n"
    "  --render DIR    play offline, without sound or window, writing each frame\n"
    "                  as DIR/frame-000000.png, frame-000001.png, ...\n"
    "  --fps N         frames per second of --render (default 60)\n"
    "  --help          show this text\n"
    "  --version       show the version\n";

namespace {

constexpr int32_t MAX_FPS = 1000;

bool parse_fps(const char* szText, int32_t* pFps) {
  char* pEnd = nullptr;
  const long iValue = std::strtol(szText, &pEnd, 10);
  if (pEnd == szText || *pEnd != '\0' || iValue < 1 || iValue > MAX_FPS) {
    return false;
  }
  *pFps = static_cast<int32_t>(iValue);
  return true;
}

}  // namespace

bool parse_command_line(int iArgCount, char** ppArgs, CommandLineS* pLine, std::string* pError) {
  bool bDocumentGiven = false;
  bool bFpsGiven = false;
  for (int i = 1; i < iArgCount; ++i) {
    const std::string sArg = ppArgs[i];
    const bool bHasValue = i + 1 < iArgCount;
    if (sArg == "--help" || sArg == "-h") {
      pLine->m_bHelp = true;
    } else if (sArg == "--version") {
      pLine->m_bVersion = true;
    } else if (sArg == "--windowed" || sArg == "--fullscreen") {
      const DisplayChoiceE eChoice = sArg == "--windowed" ? DISPLAY_WINDOWED : DISPLAY_FULLSCREEN;
      if (pLine->m_eDisplay != DISPLAY_ASK && pLine->m_eDisplay != eChoice) {
        *pError = "--windowed and --fullscreen exclude each other";
        return false;
      }
      pLine->m_eDisplay = eChoice;
    } else if ((sArg == "--plugins" || sArg == "--render" || sArg == "--fps") && !bHasValue) {
      *pError = sArg + " needs a value";
      return false;
    } else if (sArg == "--plugins") {
      pLine->m_sPluginDirectory = ppArgs[++i];
    } else if (sArg == "--render") {
      pLine->m_sRenderDirectory = ppArgs[++i];
    } else if (sArg == "--fps") {
      if (!parse_fps(ppArgs[++i], &pLine->m_i32Fps)) {
        *pError = std::string("--fps needs a whole number from 1 to 1000, not '") + ppArgs[i] + "'";
        return false;
      }
      bFpsGiven = true;
    } else if (sArg.size() > 1 && sArg[0] == '-') {
      *pError = "unknown option " + sArg;
      return false;
    } else if (bDocumentGiven) {
      *pError = "only one document can be played";
      return false;
    } else {
      pLine->m_sDocument = sArg;
      bDocumentGiven = true;
    }
  }
  if (bFpsGiven && pLine->m_sRenderDirectory.empty()) {
    *pError = "--fps is for --render";
    return false;
  }
  if (!pLine->m_sRenderDirectory.empty() && pLine->m_eDisplay != DISPLAY_ASK) {
    *pError = "--render plays without a window: leave out --windowed and --fullscreen";
    return false;
  }
  return true;
}
