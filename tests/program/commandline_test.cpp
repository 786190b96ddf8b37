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
  EXPECT_EQ("", rParsed.m_rLine.m_sPluginDirectory);
  EXPECT_EQ("data", rParsed.m_rLine.m_sDocument);
  EXPECT_EQ(RENDER_NONE, rParsed.m_rLine.m_eRender);
}

TEST(CommandLine, OptionsAreTaken) {
  ParsedS rParsed = parse({"--plugins", "libs", "--render", "out", "--fps", "25", "show.doc"});
  ASSERT_TRUE(rParsed.m_bAccepted) << rParsed.m_sError;
  EXPECT_EQ("libs", rParsed.m_rLine.m_sPluginDirectory);
  EXPECT_EQ(RENDER_PNG_FRAMES, rParsed.m_rLine.m_eRender);
  EXPECT_EQ("out", rParsed.m_rLine.m_sRenderPath);
  EXPECT_EQ(25, rParsed.m_rLine.m_rFps.m_i32Numerator);
  EXPECT_EQ(1, rParsed.m_rLine.m_rFps.m_i32Denominator);
  EXPECT_EQ("show.doc", rParsed.m_rLine.m_sDocument);
  EXPECT_EQ(DISPLAY_FULLSCREEN, parse({"--fullscreen"}).m_rLine.m_eDisplay);
  EXPECT_TRUE(parse({"--help"}).m_rLine.m_bHelp);
  EXPECT_TRUE(parse({"--list-plugins"}).m_rLine.m_bListPlugins);
}

TEST(CommandLine, RenderMakesAVideoOfMp4NamesAtAnyGivenSize) {
  EXPECT_EQ(RENDER_VIDEO, parse({"--render", "show.mp4"}).m_rLine.m_eRender);
  EXPECT_EQ(RENDER_VIDEO, parse({"--render", "out/Show.MP4"}).m_rLine.m_eRender);
  for (const char* szDirectory : {"mp4", ".mp4", "show.mp4.d", "show_mp4"}) {
    EXPECT_EQ(RENDER_PNG_FRAMES, parse({"--render", szDirectory}).m_rLine.m_eRender) << szDirectory;
  }
  ParsedS rSized = parse({"--render", "show.mp4", "--size", "1920x1080"});
  ASSERT_TRUE(rSized.m_bAccepted) << rSized.m_sError;
  EXPECT_EQ(1920, rSized.m_rLine.m_i32Width);
  EXPECT_EQ(1080, rSized.m_rLine.m_i32Height);
  EXPECT_EQ(0, parse({"--render", "show.mp4"}).m_rLine.m_i32Width);
  // Frames take odd sides; 4:2:0 video does not.
  EXPECT_TRUE(parse({"--render", "frames", "--size", "65x47"}).m_bAccepted);
  ParsedS rOdd = parse({"--render", "show.mp4", "--size", "64x47"});
  EXPECT_FALSE(rOdd.m_bAccepted);
  EXPECT_NE(std::string::npos, rOdd.m_sError.find("even width and height")) << rOdd.m_sError;
}

TEST(CommandLine, MistakesAreRefusedWithAReason) {
  for (const std::vector<std::string>& rArgs : std::vector<std::vector<std::string>>{
           {"--windowed", "--fullscreen"},
           {"--plugins"},
           {"--render", "out", "--fps", "0"},
           {"--render", "out", "--fps", "12x"},
           {"--fps", "30"},
           {"--size", "64x48"},
           {"--render", "out", "--size"},
           {"--render", "out", "--size", "64x"},
           {"--render", "out", "--size", "x48"},
           {"--render", "out", "--size", "64x48x2"},
           {"--render", "out", "--size", "16385x48"},
           {"--render", "out.mp4", "--size", "16384x16384"},
           {"--render", "out", "--windowed"},
           {"--loud"},
           {"a.doc", "b.doc"}}) {
    ParsedS rParsed = parse(rArgs);
    EXPECT_FALSE(rParsed.m_bAccepted) << rArgs[0];
    EXPECT_FALSE(rParsed.m_sError.empty()) << rArgs[0];
  }
}

}  // namespace

namespace {

TEST(CommandLine, StartAndLoopAreForPlaying) {
  ParsedS rParsed = parse({"--windowed", "--start", "Drop", "--loop", "4096t:20.5", "show.json"});
  ASSERT_TRUE(rParsed.m_bAccepted) << rParsed.m_sError;
  EXPECT_TRUE(rParsed.m_rLine.m_bHasStart);
  EXPECT_EQ("Drop", rParsed.m_rLine.m_rStart.m_sLabel);
  ASSERT_TRUE(rParsed.m_rLine.m_bHasLoop);
  EXPECT_EQ(4096, rParsed.m_rLine.m_rLoop.m_rFrom.m_i32Ticks);
  EXPECT_DOUBLE_EQ(20.5, rParsed.m_rLine.m_rLoop.m_rTo.m_f64Seconds);
  EXPECT_FALSE(parse({"--windowed"}).m_rLine.m_bHasStart);
  EXPECT_FALSE(parse({"--start"}).m_bAccepted);
  EXPECT_FALSE(parse({"--loop", "12"}).m_bAccepted);
  EXPECT_FALSE(parse({"--render", "frames", "--start", "1"}).m_bAccepted);
  EXPECT_FALSE(parse({"--render", "frames", "--watch"}).m_bAccepted);
  EXPECT_TRUE(parse({"--render", "frames", "--stats"}).m_rLine.m_bStats);
}

TEST(CommandLine, FromAndToAreForRender) {
  ParsedS rParsed = parse({"--render", "part.mp4", "--from", "Drop", "--to", "512t"});
  ASSERT_TRUE(rParsed.m_bAccepted) << rParsed.m_sError;
  EXPECT_TRUE(rParsed.m_rLine.m_bHasFrom);
  EXPECT_EQ("Drop", rParsed.m_rLine.m_rFrom.m_sLabel);
  EXPECT_TRUE(rParsed.m_rLine.m_bHasTo);
  EXPECT_EQ(512, rParsed.m_rLine.m_rTo.m_i32Ticks);
  EXPECT_FALSE(parse({"--windowed", "--from", "1"}).m_bAccepted);
  EXPECT_FALSE(parse({"--render", "frames", "--to"}).m_bAccepted);
}

}  // namespace

namespace {

TEST(CommandLine, RatesOfVideoPeopleAreExactFractions) {
  const struct {
    const char* m_szText;
    int32_t m_i32Numerator;
    int32_t m_i32Denominator;
  } rRates[] = {{"24", 24, 1},          {"23.976", 24000, 1001}, {"29.97", 30000, 1001}, {"59.94", 60000, 1001},
                {"30000/1001", 30000, 1001}, {"50/2", 25, 1},    {"12.5", 25, 2},        {"25.0", 25, 1},
                {"59.9", 599, 10},       {"1000", 1000, 1}};
  for (const auto& rRate : rRates) {
    ParsedS rParsed = parse({"--render", "out", "--fps", rRate.m_szText});
    ASSERT_TRUE(rParsed.m_bAccepted) << rRate.m_szText << ": " << rParsed.m_sError;
    EXPECT_EQ(rRate.m_i32Numerator, rParsed.m_rLine.m_rFps.m_i32Numerator) << rRate.m_szText;
    EXPECT_EQ(rRate.m_i32Denominator, rParsed.m_rLine.m_rFps.m_i32Denominator) << rRate.m_szText;
  }
  for (const char* szWrong : {"0", "1001", "0.5", "30/0", "/2", "3/", "29.", ".", "1e2", "-30", "30000/1001/2",
                              "12345678/1"}) {
    EXPECT_FALSE(parse({"--render", "out", "--fps", szWrong}).m_bAccepted) << szWrong;
  }
}

TEST(CommandLine, ValuesAfterAnEqualsSignADashDashAndShortHelp) {
  ParsedS rParsed = parse({"--render=out.mp4", "--fps=29.97", "--size=64x48", "--to=1:30", "--", "-show.doc"});
  ASSERT_TRUE(rParsed.m_bAccepted) << rParsed.m_sError;
  EXPECT_EQ("out.mp4", rParsed.m_rLine.m_sRenderPath);
  EXPECT_EQ(30000, rParsed.m_rLine.m_rFps.m_i32Numerator);
  EXPECT_EQ(64, rParsed.m_rLine.m_i32Width);
  EXPECT_DOUBLE_EQ(90.0, rParsed.m_rLine.m_rTo.m_f64Seconds);
  EXPECT_EQ("-show.doc", rParsed.m_rLine.m_sDocument);
  EXPECT_TRUE(parse({"-h"}).m_rLine.m_bHelp);
  // Options may follow the document, as before.
  EXPECT_EQ(DISPLAY_WINDOWED, parse({"show.doc", "--windowed"}).m_rLine.m_eDisplay);
  EXPECT_EQ("--fps needs a value", parse({"--render", "out", "--fps"}).m_sError);
  EXPECT_EQ("--windowed takes no value", parse({"--windowed=yes"}).m_sError);
  EXPECT_EQ("unknown option --loud", parse({"--loud"}).m_sError);
  EXPECT_EQ("unknown option -x", parse({"-x"}).m_sError);
  EXPECT_EQ("only one document can be played", parse({"--", "a.doc", "--b.doc"}).m_sError);
}

}  // namespace
