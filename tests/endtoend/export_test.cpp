// tiravo --render FILE.mp4 on documents written by the tests; the videos are
// examined with the ffprobe and ffmpeg commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/endtoend/presentationtestc.h"
#include "tests/support/rectdescription.h"
#include "tests/support/renderedframec.h"

namespace {

// The test scene lasts 256 ticks at 256 ticks a second. Tick 257 begins at
// 1003.90625 ms, so the first clock millisecond past the end is 1004: the
// sound track holds 1004 ms × 44.1 = 44276 (.4) sample frames. At 10 frames
// a second the frames at 0, 100, ..., 1000 ms are drawn: 11 of them.
constexpr int32_t FPS = 10;
constexpr int64_t FRAME_COUNT = 11;
constexpr int64_t SAMPLE_COUNT = 44276;
constexpr int32_t SAMPLE_RATE = 44100;
// ffmpeg's 440 Hz tone peaks at 1/8, mono, so at 1/8 × 0.707 on each side
// in stereo; AAC's own noise in silence stays far below the bound for silence.
constexpr float LOUD = 0.05f;
constexpr float SILENT = 0.002f;
// Pure colours through 4:2:0 H.264 and back, away from any edge.
constexpr int VIDEO_TOLERANCE = 12;

std::string quoted(const std::string& rText) {
  return "'" + rText + "'";
}

// Standard output of a shell command.
std::string command_output(const std::string& rCommand) {
  std::string sOutput;
  FILE* pPipe = popen(rCommand.c_str(), "r");
  if (!pPipe) {
    return sOutput;
  }
  char rBuffer[65536];
  size_t uiRead = 0;
  while ((uiRead = std::fread(rBuffer, 1, sizeof(rBuffer), pPipe)) > 0) {
    sOutput.append(rBuffer, uiRead);
  }
  pclose(pPipe);
  return sOutput;
}

// ffprobe's key=value lines about one stream ("v:0", "a:0") of the file.
std::map<std::string, std::string> probe(const std::string& rFile, const std::string& rStream) {
  std::istringstream rLines(command_output(
      std::string(TIRAVO_FFPROBE) + " -v error -count_frames -select_streams " + rStream +
      " -show_entries stream=codec_name,pix_fmt,width,height,nb_read_frames,r_frame_rate,duration,sample_rate,"
      "channels,time_base,duration_ts -of default=noprint_wrappers=1 " +
      quoted(rFile)));
  std::map<std::string, std::string> rValues;
  std::string sLine;
  while (std::getline(rLines, sLine)) {
    const size_t uiEquals = sLine.find('=');
    if (uiEquals != std::string::npos) {
      rValues[sLine.substr(0, uiEquals)] = sLine.substr(uiEquals + 1);
    }
  }
  return rValues;
}

// The sound track decoded by ffmpeg: interleaved stereo floats. AAC comes in
// frames of 1024 samples; the file says where the sound ends in the last, but
// ffmpeg decodes the last frame whole.
std::vector<float> decoded_sound(const std::string& rFile) {
  const std::string sBytes = command_output(std::string(TIRAVO_FFMPEG) + " -nostdin -v error -i " + quoted(rFile) +
                                            " -map 0:a:0 -f f32le -");
  std::vector<float> rSamples(sBytes.size() / sizeof(float));
  std::memcpy(rSamples.data(), sBytes.data(), rSamples.size() * sizeof(float));
  return rSamples;
}

// The largest magnitude over [from, to) seconds of interleaved stereo.
float peak(const std::vector<float>& rSamples, double f64From, double f64To) {
  float f32Peak = 0.0f;
  const size_t uiEnd = std::min(rSamples.size(), static_cast<size_t>(f64To * SAMPLE_RATE) * 2);
  for (size_t ui = static_cast<size_t>(f64From * SAMPLE_RATE) * 2; ui < uiEnd; ++ui) {
    f32Peak = std::max(f32Peak, std::abs(rSamples[ui]));
  }
  return f32Peak;
}

// Picture i32Index of the video decoded by ffmpeg, as RGB, top row first.
class VideoFrameC {
 public:
  VideoFrameC(const std::string& rFile, int32_t i32Index, int32_t i32Width, int32_t i32Height)
      : m_i32Width(i32Width), m_i32Height(i32Height) {
    m_sPixels = command_output(std::string(TIRAVO_FFMPEG) + " -nostdin -v error -i " + quoted(rFile) +
                               " -map 0:v:0 -vf 'select=eq(n\\," + std::to_string(i32Index) +
                               ")' -frames:v 1 -f rawvideo -pix_fmt rgb24 -");
  }
  bool complete() const { return m_sPixels.size() == static_cast<size_t>(m_i32Width) * m_i32Height * 3; }
  // The pixel at (x, y) from the bottom left, as RenderedFrameC counts.
  RgbT at(int32_t i32X, int32_t i32Y) const {
    const size_t uiOffset = (static_cast<size_t>(m_i32Height - 1 - i32Y) * m_i32Width + i32X) * 3;
    return {static_cast<uint8_t>(m_sPixels[uiOffset]), static_cast<uint8_t>(m_sPixels[uiOffset + 1]),
            static_cast<uint8_t>(m_sPixels[uiOffset + 2])};
  }

 private:
  int32_t m_i32Width;
  int32_t m_i32Height;
  std::string m_sPixels;
};

const RgbT BLACK = {0, 0, 0};
const RgbT RED = {255, 0, 0};
const RgbT WHITE = {255, 255, 255};

class ExportTest : public PresentationTestC {
 protected:
  void SetUp() override {
    PresentationTestC::SetUp();
    // The layout's left half white, its right half red.
    LayerC* pLayer = add_layer(0, 10000);
    add_rect(pLayer, Vector2C(0, 0), Vector2C(32, 48), RgbaColorC(1.0f, 1.0f, 1.0f, 1.0f));
    add_rect(pLayer, Vector2C(32, 0), Vector2C(64, 48), RgbaColorC(1.0f, 0.0f, 0.0f, 1.0f));
  }

  TiravoProcessC::ResultS render(const std::string& rTarget, const std::vector<std::string>& rOptions = {},
                                 const std::string& rPlugins = "") {
    std::vector<std::string> rArgs = {"--render", rTarget, "--fps", std::to_string(FPS), "--plugins",
                                      rPlugins.empty() ? plugin_directory() : rPlugins};
    rArgs.insert(rArgs.end(), rOptions.begin(), rOptions.end());
    rArgs.push_back("show.doc");
    return m_rProcess.run(m_rDirectory.path(), rArgs);
  }

  std::string video() const { return m_rDirectory.file("show.mp4"); }
  // Files named after the video other than itself: temporaries left behind.
  int32_t leftovers() const {
    int32_t i32Count = 0;
    for (const auto& rEntry : std::filesystem::directory_iterator(m_rDirectory.path())) {
      i32Count += rEntry.path().filename().string().rfind("show.mp4.", 0) == 0 ? 1 : 0;
    }
    return i32Count;
  }
  bool nothing_written() const { return !std::filesystem::exists(video()) && leftovers() == 0; }

  // Exports with the music named, expecting success and a sound track of
  // the presentation's length; the track decoded.
  std::vector<float> export_sound(const std::string& rMusic, std::string* pError = nullptr) {
    save(false, rMusic);
    const TiravoProcessC::ResultS rResult = render("show.mp4");
    EXPECT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
    if (pError) {
      *pError = rResult.m_sError;
    }
    std::map<std::string, std::string> rAudio = probe(video(), "a:0");
    EXPECT_EQ("aac", rAudio["codec_name"]);
    EXPECT_EQ("44100", rAudio["sample_rate"]);
    EXPECT_EQ("2", rAudio["channels"]);
    EXPECT_EQ("1/44100", rAudio["time_base"]);
    EXPECT_EQ(std::to_string(SAMPLE_COUNT), rAudio["duration_ts"]);
    std::vector<float> rSamples = decoded_sound(video());
    EXPECT_EQ((SAMPLE_COUNT + 1023) / 1024 * 1024, static_cast<int64_t>(rSamples.size() / 2));
    return rSamples;
  }
};

TEST_F(ExportTest, VideoHasTheFramesOfTheOfflineRenderAndMusicCutAtTheEnd) {
  std::string sError;
  const std::vector<float> rSound = export_sound(std::string(TIRAVO_EXPORT_MEDIA_DIR) + "/tone-3s.wav", &sError);
  EXPECT_NE(std::string::npos, sError.find("Rendered 11 frames of 64 x 48 into show.mp4")) << sError;
  std::map<std::string, std::string> rVideo = probe(video(), "v:0");
  EXPECT_EQ("h264", rVideo["codec_name"]);
  EXPECT_EQ("yuv420p", rVideo["pix_fmt"]);
  EXPECT_EQ("64", rVideo["width"]);
  EXPECT_EQ("48", rVideo["height"]);
  EXPECT_EQ("10/1", rVideo["r_frame_rate"]);
  EXPECT_EQ(std::to_string(FRAME_COUNT), rVideo["nb_read_frames"]);
  EXPECT_NEAR(1.1, std::stod(rVideo["duration"]), 1e-6);
  // Made as any new file is, as the document was.
  EXPECT_EQ(std::filesystem::status(m_rDirectory.file("show.doc")).permissions(),
            std::filesystem::status(video()).permissions());
  // The 3 s tone plays to the very end of the track.
  EXPECT_GT(peak(rSound, 0.05, 0.95), LOUD);
  EXPECT_GT(peak(rSound, 0.95, 1.004), LOUD);

  const VideoFrameC rLast(video(), FRAME_COUNT - 1, 64, 48);
  ASSERT_TRUE(rLast.complete());
  expect_colour(WHITE, rLast.at(12, 24), "left half", VIDEO_TOLERANCE);
  expect_colour(RED, rLast.at(52, 24), "right half", VIDEO_TOLERANCE);
}

TEST_F(ExportTest, ShorterOrMissingMusicIsMadeUpWithSilence) {
  const std::vector<float> rShort = export_sound(std::string(TIRAVO_EXPORT_MEDIA_DIR) + "/tone-0.5s.wav");
  EXPECT_GT(peak(rShort, 0.05, 0.45), LOUD);
  EXPECT_LT(peak(rShort, 0.6, 1.004), SILENT);

  const std::vector<float> rNone = export_sound("");
  EXPECT_LT(peak(rNone, 0.0, 1.004), SILENT);

  // As the player looks for it: the stored name, then the bare name here,
  // each said once.
  std::string sError;
  const std::vector<float> rMissing = export_sound("C:\\show\\gone.wav", &sError);
  EXPECT_LT(peak(rMissing, 0.0, 1.004), SILENT);
  EXPECT_NE(std::string::npos, sError.find("tiravo: the music C:\\show\\gone.wav cannot be played (File not found; "
                                           "tried C:\\show\\gone.wav, gone.wav): the video's sound track is "
                                           "silent\n"))
      << sError;
}

// Music beside its document or description is found from any folder, before
// a file of the same name in the current one.
TEST_F(ExportTest, MusicIsLookedForInTheDocumentsFolderFirst) {
  const std::string sShow = m_rDirectory.file("show");
  std::filesystem::create_directory(sShow);
  std::filesystem::copy_file(std::string(TIRAVO_EXPORT_MEDIA_DIR) + "/tone-3s.wav", sShow + "/tune.wav");
  std::filesystem::copy_file(std::string(TIRAVO_EXPORT_MEDIA_DIR) + "/tone-0.5s.wav", m_rDirectory.file("tune.wav"));
  std::filesystem::rename(save(false, "tune.wav"), sShow + "/show.doc");
  save_text(sShow + "/show.json", rect_description("[0, 0, 1, 1]", TICKS_PER_SECOND, "[]", "music/tune.wav"));
  for (const char* szDocument : {"show/show.doc", "show/show.json"}) {
    const TiravoProcessC::ResultS rResult = m_rProcess.run(
        m_rDirectory.path(), {"--render", "show.mp4", "--fps", "10", "--plugins", plugin_directory(), szDocument});
    ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
    EXPECT_EQ(std::string::npos, rResult.m_sError.find("music")) << rResult.m_sError;
    // The 3 s tone beside the document, not the short one here.
    EXPECT_GT(peak(decoded_sound(video()), 0.6, 1.0), LOUD) << szDocument;
  }
  // Not found anywhere: one line naming every place tried.
  save_text(sShow + "/show.json", rect_description("[0, 0, 1, 1]", TICKS_PER_SECOND, "[]", "gone.wav"));
  const TiravoProcessC::ResultS rMissing = m_rProcess.run(
      m_rDirectory.path(), {"--render", "show.mp4", "--fps", "10", "--plugins", plugin_directory(), "show/show.json"});
  ASSERT_EQ(0, rMissing.m_iExitCode) << rMissing.m_sError;
  EXPECT_NE(std::string::npos, rMissing.m_sError.find("tiravo: the music gone.wav cannot be played (File not found; "
                                                      "tried show/gone.wav, gone.wav): "))
      << rMissing.m_sError;
}

// The layout 64 × 48 in 256 × 96: scale 2, so the picture is 128 × 96 from
// x = 64, between bars of 64 columns; its white half ends at x = 128.
TEST_F(ExportTest, SizeLetterboxesTheLayoutInTheVideoAndInFrames) {
  save();
  const TiravoProcessC::ResultS rVideo = render("show.mp4", {"--size", "256x96"});
  ASSERT_EQ(0, rVideo.m_iExitCode) << rVideo.m_sError;
  const VideoFrameC rFrame(video(), 0, 256, 96);
  ASSERT_TRUE(rFrame.complete());
  const TiravoProcessC::ResultS rPng = render("frames", {"--size", "256x96"});
  ASSERT_EQ(0, rPng.m_iExitCode) << rPng.m_sError;
  const RenderedFrameC rPngFrame(m_rDirectory.file("frames"), 0);
  ASSERT_EQ(256, rPngFrame.width());
  ASSERT_EQ(96, rPngFrame.height());
  const struct {
    int32_t m_i32X;
    RgbT m_rColour;
  } rPoints[] = {{8, BLACK}, {56, BLACK}, {72, WHITE}, {120, WHITE}, {136, RED}, {184, RED}, {200, BLACK}};
  for (const auto& rPoint : rPoints) {
    for (int32_t i32Y : {4, 48, 91}) {
      const std::string sWhere = "x " + std::to_string(rPoint.m_i32X) + ", y " + std::to_string(i32Y);
      expect_colour(rPoint.m_rColour, rFrame.at(rPoint.m_i32X, i32Y), "video, " + sWhere, VIDEO_TOLERANCE);
      expect_colour(rPoint.m_rColour, rPngFrame.at(rPoint.m_i32X, i32Y), "png, " + sWhere, 2);
    }
  }
}

TEST_F(ExportTest, SizesAVideoCannotHaveAreRefused) {
  save();
  for (const char* szSize : {"65x48", "0x48", "16384x16384"}) {
    const TiravoProcessC::ResultS rResult = render("show.mp4", {"--size", szSize});
    EXPECT_EQ(2, rResult.m_iExitCode) << szSize;
    EXPECT_NE(std::string::npos, rResult.m_sError.find("--size")) << rResult.m_sError;
    EXPECT_TRUE(nothing_written()) << szSize;
  }
  EXPECT_NE(std::string::npos, render("show.mp4", {"--size", "65x48"}).m_sError.find("even width and height"));
  // An odd layout is rounded up to even sides.
  m_pScene->set_layout_width(63);
  m_pScene->set_layout_height(47);
  save();
  ASSERT_EQ(0, render("show.mp4").m_iExitCode);
  std::map<std::string, std::string> rVideo = probe(video(), "v:0");
  EXPECT_EQ("64", rVideo["width"]);
  EXPECT_EQ("48", rVideo["height"]);
}

TEST_F(ExportTest, FailuresLeaveNoFileThatLooksComplete) {
  save();
  // A failed render, of a video or of frames, exits as a failed play: 255.
  const TiravoProcessC::ResultS rNoDirectory = render("missing/show.mp4");
  EXPECT_EQ(255, rNoDirectory.m_iExitCode);
  EXPECT_NE(std::string::npos, rNoDirectory.m_sError.find("cannot export missing/show.mp4")) << rNoDirectory.m_sError;
  EXPECT_FALSE(std::filesystem::exists(m_rDirectory.file("missing")));
  EXPECT_EQ(255, render("missing/frames").m_iExitCode);

  // Written in full, then the name cannot be taken. A file of the user's
  // beside it with a temporary's look is neither written nor removed.
  std::filesystem::create_directory(video());
  const std::string sUsers = video() + ".part";
  std::FILE* pUsers = std::fopen(sUsers.c_str(), "w");
  ASSERT_NE(nullptr, pUsers);
  std::fputs("mine", pUsers);
  std::fclose(pUsers);
  const TiravoProcessC::ResultS rTaken = render("show.mp4");
  EXPECT_EQ(255, rTaken.m_iExitCode);
  EXPECT_NE(std::string::npos, rTaken.m_sError.find("cannot export show.mp4")) << rTaken.m_sError;
  EXPECT_TRUE(std::filesystem::is_directory(video()));
  EXPECT_EQ(4u, std::filesystem::file_size(sUsers));
  EXPECT_EQ(1, leftovers());
  std::filesystem::remove(sUsers);
  std::filesystem::remove(video());

  m_pScene->set_end_time(-1);
  save();
  const TiravoProcessC::ResultS rEmpty = render("show.mp4");
  EXPECT_EQ(255, rEmpty.m_iExitCode);
  EXPECT_NE(std::string::npos, rEmpty.m_sError.find("no video to export")) << rEmpty.m_sError;
  EXPECT_TRUE(nothing_written());
}

TEST_F(ExportTest, APresentationThatCannotPlayFailsAsPlayingItDoes) {
  save();
  // Without the driver's library there is no graphics device.
  const std::string sOnlyEffect = m_rDirectory.file("effect-only");
  std::filesystem::create_directory(sOnlyEffect);
  std::filesystem::create_symlink(TIRAVO_TESTRECT_PLUGIN, sOnlyEffect + "/testrect.so");
  // Playing starts the music first; its output must not fail either.
  m_rProcess.set_variable("SDL_AUDIODRIVER", "dummy");
  const TiravoProcessC::ResultS rPlayed =
      m_rProcess.run(m_rDirectory.path(), {"--windowed", "--plugins", sOnlyEffect, "show.doc"});
  const TiravoProcessC::ResultS rExported = render("show.mp4", {}, sOnlyEffect);
  EXPECT_EQ(255, rPlayed.m_iExitCode);
  EXPECT_EQ(rPlayed.m_iExitCode, rExported.m_iExitCode);
  EXPECT_NE(std::string::npos, rPlayed.m_sError.find("Load Error: No default device dirver.\n"));
  EXPECT_EQ(rPlayed.m_sError, rExported.m_sError);
  EXPECT_TRUE(nothing_written());
}

}  // namespace

namespace {

// Every frame file of a --render directory, by name.
std::map<std::string, std::string> frame_files(const std::string& rDirectory) {
  std::map<std::string, std::string> rFiles;
  for (const auto& rEntry : std::filesystem::directory_iterator(rDirectory)) {
    std::ifstream rIn(rEntry.path(), std::ios::binary);
    rFiles[rEntry.path().filename().string()] =
        std::string(std::istreambuf_iterator<char>(rIn), std::istreambuf_iterator<char>());
  }
  return rFiles;
}

TEST_F(ExportTest, SpansAreTheFramesOfTheWholeRunUnderTheirNumbers) {
  // A rectangle that changes colour every frame, so that no frame is another's.
  EffectBaseC* pAnimated = add_rect(add_layer(0, 10000), Vector2C(0, 0), Vector2C(8, 8), RgbaColorC(0.0f, 0.0f, 0.0f, 1.0f));
  ParamBaseC* pColor = pAnimated->get_gizmo(TESTRECT_GIZMO_ID)->get_param(TESTRECT_PARAM_COLOR);
  pColor->add_flags(PARAM_FLAG_ANIMATED);
  static_cast<ColorParamC*>(pColor)->set_value(0, RgbaColorC(0.0f, 0.0f, 0.0f, 1.0f));
  static_cast<ColorParamC*>(pColor)->set_value(TICKS_PER_SECOND, RgbaColorC(1.0f, 1.0f, 0.0f, 1.0f));
  save();
  ASSERT_EQ(0, render("whole").m_iExitCode);
  // Seconds, then ticks: 0.4 s is frame 4's time, 102 ticks come at 398.4 ms.
  ASSERT_EQ(0, render("first", {"--to", "0.4"}).m_iExitCode);
  const TiravoProcessC::ResultS rRest = render("rest", {"--from", "102t"});
  ASSERT_EQ(0, rRest.m_iExitCode) << rRest.m_sError;
  EXPECT_NE(std::string::npos, rRest.m_sError.find("Rendered 7 frames")) << rRest.m_sError;
  const std::map<std::string, std::string> rWhole = frame_files(m_rDirectory.file("whole"));
  std::map<std::string, std::string> rJoined = frame_files(m_rDirectory.file("first"));
  EXPECT_EQ(4u, rJoined.size());
  const std::map<std::string, std::string> rSecond = frame_files(m_rDirectory.file("rest"));
  EXPECT_EQ(1u, rSecond.count("frame-000004.png"));
  rJoined.insert(rSecond.begin(), rSecond.end());
  EXPECT_EQ(static_cast<size_t>(FRAME_COUNT), rWhole.size());
  EXPECT_TRUE(rWhole == rJoined);
  EXPECT_NE(0, render("none", {"--from", "0.5", "--to", "0.5"}).m_iExitCode);
}

TEST_F(ExportTest, AVideoSpanStartsItsTimestampsAtItsStart) {
  save(false, std::string(TIRAVO_EXPORT_MEDIA_DIR) + "/tone-3s.wav");
  const TiravoProcessC::ResultS rResult = render("show.mp4", {"--from", "0.5", "--to", "0.8"});
  ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  std::map<std::string, std::string> rVideo = probe(video(), "v:0");
  EXPECT_EQ("3", rVideo["nb_read_frames"]);
  for (const char* szStream : {"v:0", "a:0"}) {
    const std::string sStart = command_output(std::string(TIRAVO_FFPROBE) + " -v error -select_streams " +
                                              szStream + " -show_entries stream=start_time -of csv=p=0 " +
                                              quoted(video()));
    ASSERT_FALSE(sStart.empty()) << szStream;
    EXPECT_NEAR(0.5, std::stod(sStart), 0.03) << szStream;
  }
  // The sound is the music's from the span's start: the tone, not silence.
  EXPECT_GT(peak(decoded_sound(video()), 0.0, 0.25), LOUD);
}

}  // namespace

namespace {

// The timestamps of every picture of the video, in its time base, in order.
std::vector<int64_t> picture_times(const std::string& rFile) {
  std::istringstream rLines(command_output(std::string(TIRAVO_FFPROBE) +
                                           " -v error -select_streams v:0 -show_entries packet=pts -of csv=p=0 " +
                                           quoted(rFile)));
  std::vector<int64_t> rTimes;
  std::string sLine;
  while (std::getline(rLines, sLine)) {
    rTimes.push_back(std::stoll(sLine));
  }
  std::sort(rTimes.begin(), rTimes.end());
  return rTimes;
}

// tiravo-doc, run in the test's directory.
TiravoProcessC::ResultS run_doc_tool(const std::string& rDirectory, const std::vector<std::string>& rArgs) {
  TiravoProcessC rTool;
  rTool.set_program(TIRAVO_DOC_BINARY);
  return rTool.run(rDirectory, rArgs);
}

// Three spans cut at markers that fall between frames (85 ticks are 332 ms,
// between frames 3 and 4; 180 ticks 703 ms, between 7 and 8), joined,
// against the whole render.
TEST_F(ExportTest, SpansJoinIntoTheWholeRender) {
  EffectBaseC* pAnimated =
      add_rect(add_layer(0, 10000), Vector2C(0, 0), Vector2C(16, 16), RgbaColorC(0.0f, 0.0f, 0.0f, 1.0f));
  ParamBaseC* pColor = pAnimated->get_gizmo(TESTRECT_GIZMO_ID)->get_param(TESTRECT_PARAM_COLOR);
  pColor->add_flags(PARAM_FLAG_ANIMATED);
  static_cast<ColorParamC*>(pColor)->set_value(0, RgbaColorC(0.0f, 0.0f, 0.0f, 1.0f));
  static_cast<ColorParamC*>(pColor)->set_value(TICKS_PER_SECOND, RgbaColorC(1.0f, 1.0f, 1.0f, 1.0f));
  m_pScene->add_marker(85, "Verse");
  m_pScene->add_marker(180, "Drop: two");
  save(false, std::string(TIRAVO_EXPORT_MEDIA_DIR) + "/tone-3s.wav");
  const std::vector<std::vector<std::string>> rSpans = {
      {"a.mp4", "--to", "Verse"}, {"b.mp4", "--from", "Verse", "--to", "Drop: two"}, {"c.mp4", "--from=Drop: two"}};
  ASSERT_EQ(0, render("whole.mp4").m_iExitCode);
  for (const std::vector<std::string>& rSpan : rSpans) {
    const TiravoProcessC::ResultS rResult = render(rSpan[0], {rSpan.begin() + 1, rSpan.end()});
    ASSERT_EQ(0, rResult.m_iExitCode) << rSpan[0] << ": " << rResult.m_sError;
  }
  // The last span holds the end frame, 1000 ms, as the whole does; the
  // first's sound ends where its last frame, 300 ms, ends.
  EXPECT_EQ("3", probe(m_rDirectory.file("c.mp4"), "v:0")["nb_read_frames"]);
  EXPECT_EQ(std::to_string(4 * SAMPLE_RATE / FPS), probe(m_rDirectory.file("a.mp4"), "a:0")["duration_ts"]);

  const TiravoProcessC::ResultS rJoin = run_doc_tool(m_rDirectory.path(), {"join", "joined.mp4", "a.mp4", "b.mp4", "c.mp4"});
  ASSERT_EQ(0, rJoin.m_iExitCode) << rJoin.m_sError;
  const std::string sWhole = m_rDirectory.file("whole.mp4");
  const std::string sJoined = m_rDirectory.file("joined.mp4");
  EXPECT_EQ(picture_times(sWhole), picture_times(sJoined));
  EXPECT_EQ(static_cast<size_t>(FRAME_COUNT), picture_times(sJoined).size());
  std::map<std::string, std::string> rVideo = probe(sJoined, "v:0");
  EXPECT_EQ("10/1", rVideo["r_frame_rate"]);
  EXPECT_EQ(probe(sWhole, "a:0")["duration_ts"], probe(sJoined, "a:0")["duration_ts"]);
  EXPECT_EQ(std::to_string(SAMPLE_COUNT), probe(sJoined, "a:0")["duration_ts"]);
  for (int32_t i = 0; i < FRAME_COUNT; ++i) {
    const VideoFrameC rWant(sWhole, i, 64, 48);
    const VideoFrameC rGot(sJoined, i, 64, 48);
    ASSERT_TRUE(rWant.complete() && rGot.complete()) << "frame " << i;
    for (const int32_t i32X : {8, 40, 56}) {
      expect_colour(rWant.at(i32X, 8), rGot.at(i32X, 8), "frame " + std::to_string(i), VIDEO_TOLERANCE);
    }
  }
  // The tone goes on through each join as in the whole: a gap, an overlap or
  // an encoder delay of 1 ms would move its 440 Hz by far more than AAC's
  // own error.
  const std::vector<float> rWholeSound = decoded_sound(sWhole);
  const std::vector<float> rJoinedSound = decoded_sound(sJoined);
  ASSERT_EQ(rWholeSound.size(), rJoinedSound.size());
  for (const int64_t i64Join : {int64_t{4 * SAMPLE_RATE / FPS}, int64_t{8 * SAMPLE_RATE / FPS}}) {
    float f32Worst = 0.0f;
    for (size_t ui = static_cast<size_t>(i64Join - 2048) * 2; ui < static_cast<size_t>(i64Join + 2048) * 2; ++ui) {
      f32Worst = std::max(f32Worst, std::abs(rWholeSound[ui] - rJoinedSound[ui]));
    }
    EXPECT_LT(f32Worst, 0.02f) << "around sample " << i64Join;
    EXPECT_GT(peak(rJoinedSound, i64Join / double(SAMPLE_RATE) - 0.02, i64Join / double(SAMPLE_RATE) + 0.02), LOUD);
  }
}

TEST_F(ExportTest, PiecesThatDoNotFollowAreNotJoined) {
  save(false, std::string(TIRAVO_EXPORT_MEDIA_DIR) + "/tone-3s.wav");
  ASSERT_EQ(0, render("a.mp4", {"--to", "0.3"}).m_iExitCode);
  ASSERT_EQ(0, render("c.mp4", {"--from", "0.6"}).m_iExitCode);
  const TiravoProcessC::ResultS rGap =
      run_doc_tool(m_rDirectory.path(), {"join", "joined.mp4", "a.mp4", "c.mp4"});
  EXPECT_EQ(1, rGap.m_iExitCode);
  EXPECT_NE(std::string::npos, rGap.m_sError.find("c.mp4 does not begin where the piece before it ends: its "
                                                  "pictures begin at 0.600 s, the pieces before end at 0.300 s"))
      << rGap.m_sError;
  EXPECT_FALSE(std::filesystem::exists(m_rDirectory.file("joined.mp4")));
  save_text(m_rDirectory.file("text.mp4"), "not a video");
  const TiravoProcessC::ResultS rText =
      run_doc_tool(m_rDirectory.path(), {"join", "joined.mp4", "text.mp4"});
  EXPECT_EQ(1, rText.m_iExitCode);
  EXPECT_NE(std::string::npos, rText.m_sError.find("cannot read text.mp4")) << rText.m_sError;
  EXPECT_EQ(2, run_doc_tool(m_rDirectory.path(), {"join", "joined.mp4"}).m_iExitCode);
}

}  // namespace
