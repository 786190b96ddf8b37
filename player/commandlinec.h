#ifndef PLAYER_COMMANDLINEC_H
#define PLAYER_COMMANDLINEC_H

#include <cstdint>
#include <string>

#include "player/frametimingc.h"
#include "player/presentationtime.h"

// How the display mode is chosen.
enum DisplayChoiceE { DISPLAY_ASK, DISPLAY_WINDOWED, DISPLAY_FULLSCREEN };

// What --render makes: PNG frames in a directory, or one video file.
enum RenderOutputE { RENDER_NONE, RENDER_PNG_FRAMES, RENDER_VIDEO };

// The program's options. Without any it behaves as it always has: the
// options dialog, then "plugins" and "data" in the current directory (and
// the further plug-in folders of the search, when there are any).
struct CommandLineS {
  DisplayChoiceE m_eDisplay = DISPLAY_ASK;
  std::string m_sPluginDirectory;  // --plugins; empty: the search
  std::string m_sDocument = "data";
  RenderOutputE m_eRender = RENDER_NONE;
  std::string m_sRenderPath;  // the directory or video file of --render
  FrameRateS m_rFps;  // --fps; 60 a second
  // --size; 0 × 0: the layout's size.
  int32_t m_i32Width = 0;
  int32_t m_i32Height = 0;
  // --start and --loop: where playing starts, and the span it repeats.
  bool m_bHasStart = false;
  PresentationTimeS m_rStart;
  bool m_bHasLoop = false;
  PresentationSpanS m_rLoop;
  // --from and --to: the span of --render.
  bool m_bHasFrom = false;
  PresentationTimeS m_rFrom;
  bool m_bHasTo = false;
  PresentationTimeS m_rTo;
  bool m_bWatch = false;
  bool m_bStats = false;
  bool m_bHelp = false;
  bool m_bVersion = false;
  bool m_bListPlugins = false;
};

// False, with *pError saying why, for options it cannot take.
bool parse_command_line(int iArgCount, char** ppArgs, CommandLineS* pLine, std::string* pError);

// Whether --render PATH makes a video: PATH ends in ".mp4", in any case.
bool is_video_path(const std::string& rPath);

extern const char* const USAGE_TEXT;

#endif
