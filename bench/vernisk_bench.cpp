// What vernisk's effects cost a frame at 1920 x 1080, drawn by the player's
// frame loop into the OpenGL driver's offscreen image (Mesa, no window),
// each beside an empty layout in the same run: a shader filling the
// picture, a text of 200 characters, and the same text typed in by an
// animated Reveal (set again whenever another character shows). Each frame
// ends with the driver's glFinish, so the figures are real drawing.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/countingsinkc.h"
#include "player/playerc.h"

namespace {

constexpr int32_t FRAMES = 120;
// 2048 ticks per second; frames 40 ms apart take the Reveal of the typed
// text through its 200 characters in 4.8 s.
constexpr int32_t FRAME_MS = 40;

// A plasma of the kind the sharing sites are full of: a few dozen
// operations and four sines a pixel.
const char* const PLASMA = R"(void mainImage(out vec4 fragColor, in vec2 fragCoord) {
  vec2 uv = fragCoord / iResolution.xy * 6.0;
  float v = sin(uv.x + iTime) + sin(uv.y + iTime * 0.7)
          + sin(uv.x + uv.y + iTime * 1.3) + sin(length(uv - 3.0) * 2.0 - iTime);
  fragColor = vec4(0.5 + 0.5 * sin(v), 0.5 + 0.5 * sin(v + 2.1), 0.5 + 0.5 * sin(v + 4.2), 1.0);
})";

std::string temp_path(const std::string& rName) {
  const char* szDir = std::getenv("TMPDIR");
  return std::string(szDir && *szDir ? szDir : "/tmp") + "/tiravo-vernisk-bench-" + rName;
}

std::string two_hundred_characters() {
  const std::string sWords = "Shaders, text and images for presentations that play on Linux. ";
  std::string sText;
  while (sText.size() < 200) {
    sText += sWords;
  }
  sText.resize(200);
  for (size_t i = 50; i < sText.size(); i += 50) {
    sText[i] = '\n';
  }
  return sText;
}

std::string description(const std::string& rEffects, const std::string& rFont) {
  const int32_t i32End = FRAMES * FRAME_MS * 2048 / 1000;
  return R"({"scene": {"end_time": )" + std::to_string(i32End) +
         R"(, "layout_width": 1920, "layout_height": 1080, "layers": [{"time_segment": [0, 1000000],
           "effects": [)" + rEffects + R"(]}]}, "files": [{"file_name": ")" + temp_path("plasma.frag") +
         R"("}, {"file_name": ")" + rFont + R"("}, {"file_name": ")" + temp_path("words.txt") + R"("}]})";
}

// Milliseconds a frame, or a negative value when the scene does not play.
double measure(const char* szName, const std::string& rDescription, const char* szPluginDirectory) {
  const std::string sPath = temp_path(std::string(szName) + ".json");
  std::ofstream(sPath) << rDescription;
  PlayerC rPlayer;
  rPlayer.get_class_registry()->load_plugins(szPluginDirectory);
  CountingSinkC rSink(FRAME_MS);
  rPlayer.set_offline_render(&rSink);
  if (!rPlayer.init(nullptr, false) || rPlayer.load(sPath.c_str()) != 0) {
    std::fprintf(stderr, "bench: cannot load the %s scene\n", szName);
    return -1.0;
  }
  const int iResult = rPlayer.run();
  std::remove(sPath.c_str());
  const double f64Ms = rSink.ms_a_frame();
  if (iResult != 0 || f64Ms <= 0.0) {
    return -1.0;
  }
  std::printf("%-28s 1920x1080: %d frames, %.2f ms a frame\n", szName, rSink.get_frames(), f64Ms);
  return f64Ms;
}

}  // namespace

int main(int iArgCount, char** ppArgs) {
  if (iArgCount != 3) {
    std::fprintf(stderr, "Usage: vernisk_bench PLUGIN_DIRECTORY FONT.ttf (plugins: opengl.so and vernisk.so)\n");
    return 2;
  }
  std::ofstream(temp_path("plasma.frag")) << PLASMA;
  std::ofstream(temp_path("words.txt")) << two_hundred_characters();
  const std::string sFont = ppArgs[2];
  const std::string sText = R"({"class": "Text", "time_segment": [0, 1000000], "params": {
      "Transform": {"Position": [960, 540]}, "Attributes": {"Font": 1, "Text": 2}, "Text": {"Size": 40)";
  const double f64Empty = measure("empty layout", description("", sFont), ppArgs[1]);
  const double f64Shader = measure("full-screen shader", description(R"({"class": "Shader",
      "time_segment": [0, 1000000], "params": {"Transform": {"Position": [960, 540]},
      "Attributes": {"Shader": 0, "Size": [1920, 1080]}}})", sFont), ppArgs[1]);
  const double f64Text = measure("text of 200 characters", description(sText + "}}}", sFont), ppArgs[1]);
  const double f64Typed = measure("the text typed in", description(sText + R"(, "Reveal": {"track": {"keys": [
      {"time": 0, "value": 0, "flags": ["linear"]}, {"time": 9830, "value": 1, "flags": ["linear"]}]}}}}})",
                                                                  sFont), ppArgs[1]);
  std::remove(temp_path("plasma.frag").c_str());
  std::remove(temp_path("words.txt").c_str());
  if (f64Empty <= 0.0 || f64Shader <= 0.0 || f64Text <= 0.0 || f64Typed <= 0.0) {
    return 1;
  }
  std::printf("frame time against the empty layout: shader %.2fx, text %.2fx, typed text %.2fx\n",
              f64Shader / f64Empty, f64Text / f64Empty, f64Typed / f64Empty);
  return 0;
}
