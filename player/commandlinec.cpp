#include "player/commandlinec.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "platform/picturesize.h"
#include "platform/videoencoderc.h"

const char* const USAGE_TEXT =
    "Usage: tiravo [--windowed | --fullscreen] [--plugins DIR] [--start T] [--loop A:B]\n"
    "              [--watch] [--stats]\n"
    "              [--render DIR|FILE.mp4 [--fps N] [--size WxH] [--from A] [--to B]]\n"
    "              [DOCUMENT]\n"
    "       tiravo --list-plugins [--plugins DIR]\n"
    "Plays a presentation document (default: data) with the plug-in libraries of\n"
    "DIR. Without --windowed or --fullscreen it asks first.\n"
    "Without --plugins the libraries come from ./plugins, then from each folder\n"
    "of TIRAVO_PLUGIN_PATH (separated by colons), then from\n"
    "$XDG_DATA_HOME/tiravo/plugins (~/.local/share/tiravo/plugins), then from the\n"
    "installed folder; a file name found again in a later folder is skipped.\n"
    "A JSON description (as tiravo-doc build takes) plays as its document.\n"
    "\n"
    "  --windowed      play in a window, without asking\n"
    "  --fullscreen    play fullscreen, without asking\n"
    "  --plugins DIR   load the plug-in libraries from DIR alone\n"
    "  --list-plugins  list the plug-in libraries found and their classes\n"
    "  --render DIR    play offline, without sound or window, writing each frame\n"
    "                  as DIR/frame-000000.png, frame-000001.png, ...\n"
    "  --render FILE.mp4\n"
    "                  play offline into one video file: H.264 (4:2:0) with the\n"
    "                  music as AAC, cut or padded with silence to the length of\n"
    "                  the presentation. A name that ends in .mp4 (in any case)\n"
    "                  is a video file, any other a directory\n"
    "  --fps N         frames per second of --render (default 60)\n"
    "  --size WxH      picture size of --render (default: the layout's); the\n"
    "                  layout keeps its aspect inside it, between black bars.\n"
    "                  A video needs an even width and height: an odd --size is\n"
    "                  refused, an odd layout size is rounded up\n"
    "  --from A, --to B\n"
    "                  render only the frames from A up to B (times as for\n"
    "                  --start), numbered and timed as in the whole render, so\n"
    "                  that the pieces of one render join into it\n"
    "  --start T       start at T: seconds (12.5), ticks (4096t) or a marker's label\n"
    "  --loop A:B      repeat from A to B (times as for --start) until quit\n"
    "  --watch         when the document, or a file its description imports, is\n"
    "                  saved, play the new version from the same time; one that\n"
    "                  does not load is reported and the old one plays on\n"
    "  --stats         at the end, print the frames drawn, their rate and times,\n"
    "                  the late ones and how far the music strayed from the clock\n"
    "  --help          show this text\n"
    "  --version       show the version\n"
    "\n"
    "With --start, --loop or --watch, or for a description, the window takes keys: Space\n"
    "pauses and resumes, Left and Right seek a second (with Shift ten), Page Up\n"
    "and Page Down jump to the previous and next marker, Home to the start; the\n"
    "title shows the time, the marker and the frame rate.\n";

namespace {

constexpr int32_t MAX_FPS = 1000;

bool parse_number(const char* szText, int32_t i32Max, int32_t* pValue, const char** ppEnd) {
  char* pEnd = nullptr;
  const long iValue = std::strtol(szText, &pEnd, 10);
  if (pEnd == szText || iValue < 1 || iValue > i32Max) {
    return false;
  }
  *pValue = static_cast<int32_t>(iValue);
  *ppEnd = pEnd;
  return true;
}

bool parse_fps(const char* szText, int32_t* pFps) {
  const char* pEnd = nullptr;
  return parse_number(szText, MAX_FPS, pFps, &pEnd) && *pEnd == '\0';
}

// WIDTHxHEIGHT, both from 1 to MAX_PICTURE_SIDE.
bool parse_size(const char* szText, int32_t* pWidth, int32_t* pHeight) {
  const char* pEnd = nullptr;
  return parse_number(szText, MAX_PICTURE_SIDE, pWidth, &pEnd) && *pEnd == 'x' &&
         parse_number(pEnd + 1, MAX_PICTURE_SIDE, pHeight, &pEnd) && *pEnd == '\0';
}

// What the options mean together, once all are read.
bool check_combination(const CommandLineS& rLine, bool bFpsGiven, std::string* pError) {
  if (bFpsGiven && rLine.m_eRender == RENDER_NONE) {
    *pError = "--fps is for --render";
    return false;
  }
  if (rLine.m_i32Width != 0 && rLine.m_eRender == RENDER_NONE) {
    *pError = "--size is for --render";
    return false;
  }
  if (rLine.m_eRender == RENDER_NONE && (rLine.m_bHasFrom || rLine.m_bHasTo)) {
    *pError = "--from and --to are for --render";
    return false;
  }
  if (rLine.m_eRender != RENDER_NONE && (rLine.m_bHasStart || rLine.m_bHasLoop || rLine.m_bWatch)) {
    *pError = "--start, --loop and --watch are for playing, not for --render";
    return false;
  }
  if (rLine.m_eRender != RENDER_NONE && rLine.m_eDisplay != DISPLAY_ASK) {
    *pError = "--render plays without a window: leave out --windowed and --fullscreen";
    return false;
  }
  if (rLine.m_i32Width != 0 && rLine.m_eRender == RENDER_VIDEO) {
    const std::string sProblem = video_size_problem(rLine.m_i32Width, rLine.m_i32Height);
    if (!sProblem.empty()) {
      *pError = "--size: " + sProblem;
      return false;
    }
  }
  return true;
}

}  // namespace

bool is_video_path(const std::string& rPath) {
  const size_t uiLength = rPath.size();
  return uiLength > 4 && strcasecmp(rPath.c_str() + uiLength - 4, ".mp4") == 0;
}

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
    } else if (sArg == "--watch") {
      pLine->m_bWatch = true;
    } else if (sArg == "--stats") {
      pLine->m_bStats = true;
    } else if (sArg == "--list-plugins") {
      pLine->m_bListPlugins = true;
    } else if (sArg == "--windowed" || sArg == "--fullscreen") {
      const DisplayChoiceE eChoice = sArg == "--windowed" ? DISPLAY_WINDOWED : DISPLAY_FULLSCREEN;
      if (pLine->m_eDisplay != DISPLAY_ASK && pLine->m_eDisplay != eChoice) {
        *pError = "--windowed and --fullscreen exclude each other";
        return false;
      }
      pLine->m_eDisplay = eChoice;
    } else if ((sArg == "--plugins" || sArg == "--render" || sArg == "--fps" || sArg == "--size" ||
                sArg == "--start" || sArg == "--loop" || sArg == "--from" || sArg == "--to") &&
               !bHasValue) {
      *pError = sArg + " needs a value";
      return false;
    } else if (sArg == "--plugins") {
      pLine->m_sPluginDirectory = ppArgs[++i];
    } else if (sArg == "--render") {
      pLine->m_sRenderPath = ppArgs[++i];
      pLine->m_eRender = is_video_path(pLine->m_sRenderPath) ? RENDER_VIDEO : RENDER_PNG_FRAMES;
    } else if (sArg == "--fps") {
      if (!parse_fps(ppArgs[++i], &pLine->m_i32Fps)) {
        *pError = std::string("--fps needs a whole number from 1 to 1000, not '") + ppArgs[i] + "'";
        return false;
      }
      bFpsGiven = true;
    } else if (sArg == "--size") {
      if (!parse_size(ppArgs[++i], &pLine->m_i32Width, &pLine->m_i32Height)) {
        *pError = "--size needs WIDTHxHEIGHT, each from 1 to " + std::to_string(MAX_PICTURE_SIDE) + ", not '" +
                  ppArgs[i] + "'";
        return false;
      }
    } else if (sArg == "--start") {
      std::string sProblem;
      if (!parse_presentation_time(ppArgs[++i], &pLine->m_rStart, &sProblem)) {
        *pError = "--start: " + sProblem;
        return false;
      }
      pLine->m_bHasStart = true;
    } else if (sArg == "--from" || sArg == "--to") {
      const bool bFrom = sArg == "--from";
      std::string sProblem;
      if (!parse_presentation_time(ppArgs[++i], bFrom ? &pLine->m_rFrom : &pLine->m_rTo, &sProblem)) {
        *pError = sArg + ": " + sProblem;
        return false;
      }
      (bFrom ? pLine->m_bHasFrom : pLine->m_bHasTo) = true;
    } else if (sArg == "--loop") {
      std::string sProblem;
      if (!parse_presentation_span(ppArgs[++i], &pLine->m_rLoop, &sProblem)) {
        *pError = "--loop: " + sProblem;
        return false;
      }
      pLine->m_bHasLoop = true;
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
  return check_combination(*pLine, bFpsGiven, pError);
}
