#include "player/commandlinec.h"

#include <getopt.h>
#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <numeric>

#include "platform/picturesize.h"
#include "platform/videoencoderc.h"

const char* const USAGE_TEXT =
    "Usage: tiravo [OPTION]... [DOCUMENT]\n"
    "  or:  tiravo --list-plugins [--plugins DIR]\n"
    "Plays a presentation document (default: data) with the plug-in libraries of\n"
    "DIR. Without --windowed or --fullscreen it asks first.\n"
    "Without --plugins the libraries come from ./plugins, then from each folder\n"
    "of TIRAVO_PLUGIN_PATH (separated by colons), then from\n"
    "$XDG_DATA_HOME/tiravo/plugins (~/.local/share/tiravo/plugins), then from the\n"
    "installed folder; a file name found again in a later folder is skipped.\n"
    "A JSON description (as tiravo-doc build takes) plays as its document.\n"
    "The music it names is looked for in the document's folder first, then\n"
    "from the current folder; without it the presentation plays silent.\n"
    "\n"
    "Options:\n"
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
    "  --fps N         frames per second of --render (default 60): a whole\n"
    "                  number, a decimal such as 12.5, 23.976, 29.97 or 59.94\n"
    "                  (the last three being 24000/1001, 30000/1001 and\n"
    "                  60000/1001), or a fraction such as 30000/1001\n"
    "  --size WxH      picture size of --render (default: the layout's); the\n"
    "                  layout keeps its aspect inside it, between black bars.\n"
    "                  A video needs an even width and height: an odd --size is\n"
    "                  refused, an odd layout size is rounded up\n"
    "  --from A, --to B\n"
    "                  render only the frames from A up to B (times as for\n"
    "                  --start), numbered and timed as in the whole render; a\n"
    "                  --to at or past the end time keeps the end frame. The\n"
    "                  frames of such pieces join into the whole render's;\n"
    "                  videos join with tiravo-doc join WHOLE.mp4 PIECE.mp4...\n"
    "  --start T       start at T: seconds (12.5), minutes and seconds (1:02.5,\n"
    "                  1:00:00), ticks (4096t) or a marker's label\n"
    "  --loop A..B     repeat from A to B (times as for --start) until quit;\n"
    "                  A:B too, when neither holds a colon\n"
    "  --watch         when the document, or a file its description imports, is\n"
    "                  saved, play the new version from the same time, with its\n"
    "                  end time, markers, loop and music; one that does not load\n"
    "                  is reported and the old one plays on. The window stays\n"
    "                  open at the end until Escape\n"
    "  --stats         at the end, print the frames drawn, their rate and times,\n"
    "                  the late ones and how far the sound device's clock strayed\n"
    "                  from the system's steady clock\n"
    "  -h, --help      show this text\n"
    "  --version       show the version\n"
    "\n"
    "Options take their value as --option VALUE or --option=VALUE; -- ends the\n"
    "options, for a document whose name begins with a dash.\n"
    "\n"
    "Keys:\n"
    "With --start, --loop or --watch, or for a description, the window takes keys: Space\n"
    "pauses and resumes, Left and Right seek a second (with Shift ten), Page Up\n"
    "and Page Down jump to the previous and next marker, Home to the start (of\n"
    "the loop, with --loop); a seek past the end stops at the end frame. The\n"
    "title shows the time, the marker and the frame rate.\n";
namespace {

constexpr int32_t MAX_FPS = 1000;
// The largest numerator and denominator --fps takes as a fraction.
constexpr int64_t MAX_RATE_TERM = 1000000;

// getopt_long's values of the long options without a letter.
enum OptionE : int {
  OPTION_WINDOWED = 256,
  OPTION_FULLSCREEN,
  OPTION_PLUGINS,
  OPTION_LIST_PLUGINS,
  OPTION_RENDER,
  OPTION_FPS,
  OPTION_SIZE,
  OPTION_FROM,
  OPTION_TO,
  OPTION_START,
  OPTION_LOOP,
  OPTION_WATCH,
  OPTION_STATS,
  OPTION_VERSION,
};

const option LONG_OPTIONS[] = {
    {"windowed", no_argument, nullptr, OPTION_WINDOWED},
    {"fullscreen", no_argument, nullptr, OPTION_FULLSCREEN},
    {"plugins", required_argument, nullptr, OPTION_PLUGINS},
    {"list-plugins", no_argument, nullptr, OPTION_LIST_PLUGINS},
    {"render", required_argument, nullptr, OPTION_RENDER},
    {"fps", required_argument, nullptr, OPTION_FPS},
    {"size", required_argument, nullptr, OPTION_SIZE},
    {"from", required_argument, nullptr, OPTION_FROM},
    {"to", required_argument, nullptr, OPTION_TO},
    {"start", required_argument, nullptr, OPTION_START},
    {"loop", required_argument, nullptr, OPTION_LOOP},
    {"watch", no_argument, nullptr, OPTION_WATCH},
    {"stats", no_argument, nullptr, OPTION_STATS},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, OPTION_VERSION},
    {nullptr, 0, nullptr, 0},
};

std::string option_name(int iValue) {
  for (const option& rOption : LONG_OPTIONS) {
    if (rOption.name && rOption.val == iValue) {
      return std::string("--") + rOption.name;
    }
  }
  return std::string("-") + static_cast<char>(iValue);
}

// Up to seven digits and nothing else.
bool parse_whole(const std::string& rText, int64_t* pValue) {
  if (rText.empty() || rText.size() > 7 || rText.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  *pValue = std::strtoll(rText.c_str(), nullptr, 10);
  return true;
}

// Digits with at most one point and six decimals, as a fraction; a rate that
// rounds to these digits from N × 1000 / 1001 is taken as that.
bool parse_decimal_rate(const std::string& rText, int64_t* pNumerator, int64_t* pDenominator) {
  const size_t uiPoint = rText.find('.');
  const std::string sWhole = rText.substr(0, uiPoint);
  const std::string sDecimals = uiPoint == std::string::npos ? "" : rText.substr(uiPoint + 1);
  int64_t i64Digits = 0;
  if (sDecimals.size() > 6 || !parse_whole(sWhole + sDecimals, &i64Digits) ||
      (uiPoint != std::string::npos && sDecimals.empty())) {
    return false;
  }
  int64_t i64Scale = 1;
  for (size_t i = 0; i < sDecimals.size(); ++i) {
    i64Scale *= 10;
  }
  *pNumerator = i64Digits;
  *pDenominator = i64Scale;
  // Two decimals at least, and not a whole number: 25.0 is 25, 59.9 what it says.
  if (sDecimals.size() < 2 || i64Digits % i64Scale == 0) {
    return true;
  }
  // N nearest to the value × 1001 / 1000; it is the rate's when the value is
  // N × 1000 / 1001 to within half of the last decimal given.
  const int64_t i64N = (i64Digits * 1001 + i64Scale * 500) / (i64Scale * 1000);
  if (i64N > 0 && 2 * std::llabs(i64N * 1000 * i64Scale - i64Digits * 1001) < 1001) {
    *pNumerator = i64N * 1000;
    *pDenominator = 1001;
  }
  return true;
}

// "N", a decimal "23.976" (the rates of N × 1000 / 1001 a second by their
// usual names: 23.976, 29.97, 59.94) or a fraction "30000/1001"; from 1 to
// 1000 frames a second.
bool parse_fps(const char* szText, FrameRateS* pRate) {
  const std::string sText = szText;
  int64_t i64Numerator = 0;
  int64_t i64Denominator = 1;
  const size_t uiSlash = sText.find('/');
  if (uiSlash != std::string::npos) {
    if (!parse_whole(sText.substr(0, uiSlash), &i64Numerator) ||
        !parse_whole(sText.substr(uiSlash + 1), &i64Denominator) || i64Denominator == 0) {
      return false;
    }
  } else if (!parse_decimal_rate(sText, &i64Numerator, &i64Denominator)) {
    return false;
  }
  const int64_t i64Common = std::gcd(i64Numerator, i64Denominator);
  i64Numerator /= i64Common;
  i64Denominator /= i64Common;
  if (i64Numerator < i64Denominator || i64Numerator > MAX_FPS * i64Denominator || i64Numerator > MAX_RATE_TERM ||
      i64Denominator > MAX_RATE_TERM) {
    return false;
  }
  *pRate = FrameRateS{static_cast<int32_t>(i64Numerator), static_cast<int32_t>(i64Denominator)};
  return true;
}

// WIDTHxHEIGHT, both from 1 to MAX_PICTURE_SIDE.
bool parse_size(const char* szText, int32_t* pWidth, int32_t* pHeight) {
  char* pEnd = nullptr;
  const long iWidth = std::strtol(szText, &pEnd, 10);
  if (pEnd == szText || *pEnd != 'x' || iWidth < 1 || iWidth > MAX_PICTURE_SIDE) {
    return false;
  }
  const char* szHeight = pEnd + 1;
  const long iHeight = std::strtol(szHeight, &pEnd, 10);
  if (pEnd == szHeight || *pEnd != '\0' || iHeight < 1 || iHeight > MAX_PICTURE_SIDE) {
    return false;
  }
  *pWidth = static_cast<int32_t>(iWidth);
  *pHeight = static_cast<int32_t>(iHeight);
  return true;
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

bool parse_time_option(const char* szOption, const char* szValue, PresentationTimeS* pTime, bool* pHas,
                       std::string* pError) {
  std::string sProblem;
  if (!parse_presentation_time(szValue, pTime, &sProblem)) {
    *pError = std::string(szOption) + ": " + sProblem;
    return false;
  }
  *pHas = true;
  return true;
}

bool set_display(DisplayChoiceE eChoice, CommandLineS* pLine, std::string* pError) {
  if (pLine->m_eDisplay != DISPLAY_ASK && pLine->m_eDisplay != eChoice) {
    *pError = "--windowed and --fullscreen exclude each other";
    return false;
  }
  pLine->m_eDisplay = eChoice;
  return true;
}

// One option getopt_long found, with its value if it takes one.
bool take_option(int iOption, const char* szValue, CommandLineS* pLine, bool* pFpsGiven, std::string* pError) {
  switch (iOption) {
    case 'h':
      pLine->m_bHelp = true;
      return true;
    case OPTION_VERSION:
      pLine->m_bVersion = true;
      return true;
    case OPTION_WATCH:
      pLine->m_bWatch = true;
      return true;
    case OPTION_STATS:
      pLine->m_bStats = true;
      return true;
    case OPTION_LIST_PLUGINS:
      pLine->m_bListPlugins = true;
      return true;
    case OPTION_WINDOWED:
      return set_display(DISPLAY_WINDOWED, pLine, pError);
    case OPTION_FULLSCREEN:
      return set_display(DISPLAY_FULLSCREEN, pLine, pError);
    case OPTION_PLUGINS:
      pLine->m_sPluginDirectory = szValue;
      return true;
    case OPTION_RENDER:
      pLine->m_sRenderPath = szValue;
      pLine->m_eRender = is_video_path(pLine->m_sRenderPath) ? RENDER_VIDEO : RENDER_PNG_FRAMES;
      return true;
    case OPTION_FPS:
      *pFpsGiven = true;
      if (!parse_fps(szValue, &pLine->m_rFps)) {
        *pError = std::string("--fps needs frames per second from 1 to 1000 (25, 29.97, 30000/1001), not '") +
                  szValue + "'";
        return false;
      }
      return true;
    case OPTION_SIZE:
      if (!parse_size(szValue, &pLine->m_i32Width, &pLine->m_i32Height)) {
        *pError = "--size needs WIDTHxHEIGHT, each from 1 to " + std::to_string(MAX_PICTURE_SIDE) + ", not '" +
                  szValue + "'";
        return false;
      }
      return true;
    case OPTION_START:
      return parse_time_option("--start", szValue, &pLine->m_rStart, &pLine->m_bHasStart, pError);
    case OPTION_FROM:
      return parse_time_option("--from", szValue, &pLine->m_rFrom, &pLine->m_bHasFrom, pError);
    case OPTION_TO:
      return parse_time_option("--to", szValue, &pLine->m_rTo, &pLine->m_bHasTo, pError);
    case OPTION_LOOP: {
      std::string sProblem;
      if (!parse_presentation_span(szValue, &pLine->m_rLoop, &sProblem)) {
        *pError = "--loop: " + sProblem;
        return false;
      }
      pLine->m_bHasLoop = true;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

bool is_video_path(const std::string& rPath) {
  const size_t uiLength = rPath.size();
  return uiLength > 4 && strcasecmp(rPath.c_str() + uiLength - 4, ".mp4") == 0;
}

// getopt_long, reset for each call (optind 0), reporting nothing itself: the
// leading ':' has it tell a missing value from an unknown option.
bool parse_command_line(int iArgCount, char** ppArgs, CommandLineS* pLine, std::string* pError) {
  bool bFpsGiven = false;
  optind = 0;
  opterr = 0;
  int iOption = 0;
  while ((iOption = getopt_long(iArgCount, ppArgs, ":h", LONG_OPTIONS, nullptr)) != -1) {
    if (iOption == ':') {
      *pError = option_name(optopt) + " needs a value";
      return false;
    }
    if (iOption == '?' && optopt >= OPTION_WINDOWED) {
      *pError = option_name(optopt) + " takes no value";
      return false;
    }
    if (iOption == '?') {
      *pError = "unknown option " + (optopt != 0 ? option_name(optopt) : std::string(ppArgs[optind - 1]));
      return false;
    }
    if (!take_option(iOption, optarg, pLine, &bFpsGiven, pError)) {
      return false;
    }
  }
  if (iArgCount - optind > 1) {
    *pError = "only one document can be played";
    return false;
  }
  if (optind < iArgCount) {
    pLine->m_sDocument = ppArgs[optind];
  }
  return check_combination(*pLine, bFpsGiven, pError);
}
