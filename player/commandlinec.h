#ifndef PLAYER_COMMANDLINEC_H
#define PLAYER_COMMANDLINEC_H

#include <cstdint>
#include <string>

// How the display mode is chosen.
enum DisplayChoiceE { DISPLAY_ASK, DISPLAY_WINDOWED, DISPLAY_FULLSCREEN };

// The program's options. Without any it behaves as it always has: the
// options dialog, then "plugins" and "data" in the current directory.
struct CommandLineS {
  DisplayChoiceE m_eDisplay = DISPLAY_ASK;
  std::string m_sPluginDirectory = "plugins";
  std::string m_sDocument = "data";
  std::string m_sRenderDirectory;  // empty: play, do not render
  int32_t m_i32Fps = 60;
  bool m_bHelp = false;
  bool m_bVersion = false;
};

// False, with *pError saying why, for options it cannot take.
bool parse_command_line(int iArgCount, char** ppArgs, CommandLineS* pLine, std::string* pError);

extern const char* const USAGE_TEXT;

#endif
