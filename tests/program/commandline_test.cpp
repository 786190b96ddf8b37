#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/commandlinec.h"

namespace {

struct ParsedS {
  bool m_bAccepted;
  CommandLineS m_rLine;
  std::string m_sError;
};

ParsedS parse(std::vector<std::string> rArgs) {
  rArgs.insert(rArgs.begin(), "tiravo");
  std::vector<char*> rPointers;
  for (std::string& rArg : rArgs) {
    rPointers.push_back(rArg.data());
  }
  ParsedS rParsed{false, {}, {}};
  rParsed.m_bAccepted =
      parse_command_line(static_cast<int>(rPointers.size()), rPointers.data(), &rParsed.m_rLine, &rParsed.m_sError);
  return rParsed;
}

TEST(CommandLine, WithoutOptionsItAsksAndPlaysData) {
  ParsedS rParsed = parse({});
  ASSERT_TRUE(rParsed.m_bAccepted);
  EXPECT_EQ(DISPLAY_ASK, rParsed.m_rLine.m_eDisplay);
  EXPECT_EQ("plugins", rParsed.m_rLine.m_sPluginDirectory);
  EXPECT_EQ("data", rParsed.m_rLine.m_sDocument);
  EXPECT_TRUE(rParsed.m_rLine.m_sRenderDirectory.empty());
}

TEST(CommandLine, OptionsAreTaken) {
  ParsedS rParsed = parse({"--plugins", "libs", "--render", "out", "--fps", "25", "show.doc"});
  ASSERT_TRUE(rParsed.m_bAccepted) << rParsed.m_sError;
  EXPECT_EQ("libs", rParsed.m_rLine.m_sPluginDirectory);
  EXPECT_EQ("out", rParsed.m_rLine.m_sRenderDirectory);
  EXPECT_EQ(25, rParsed.m_rLine.m_i32Fps);
  EXPECT_EQ("show.doc", rParsed.m_rLine.m_sDocument);
  EXPECT_EQ(DISPLAY_FULLSCREEN, parse({"--fullscreen"}).m_rLine.m_eDisplay);
  EXPECT_TRUE(parse({"--help"}).m_rLine.m_bHelp);
}

TEST(CommandLine, MistakesAreRefusedWithAReason) {
  for (const std::vector<std::string>& rArgs : std::vector<std::vector<std::string>>{
           {"--windowed", "--fullscreen"},
           {"--plugins"},
           {"--render", "out", "--fps", "0"},
           {"--render", "out", "--fps", "12x"},
           {"--fps", "30"},
           {"--render", "out", "--windowed"},
           {"--loud"},
           {"a.doc", "b.doc"}}) {
    ParsedS rParsed = parse(rArgs);
    EXPECT_FALSE(rParsed.m_bAccepted) << rArgs[0];
    EXPECT_FALSE(rParsed.m_sError.empty()) << rArgs[0];
  }
}

}  // namespace
