#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/endtoend/xserverc.h"
#include "tests/support/windowgrab.h"
#include "tests/vernisk/vernisktest.h"

namespace {

constexpr int32_t WIDTH = 96;
constexpr int32_t HEIGHT = 48;

// A presentation of all four kinds of file and the three effects, played by
// the real tiravo --windowed on a virtual display: on the left a shader
// showing the image through iChannel0, in the middle the Video Player
// showing it, on the right a text's white stem; the window is read back
// until all three show, or the presentation ends after its 3 seconds.
TEST_F(VerniskTest, EverythingPlaysInAWindow) {
  write_text(m_rDirectory.file("channel.frag"),
             "void mainImage(out vec4 c, in vec2 p) {\n"
             "  c = texture(iChannel0, vec2(p.x, iResolution.y - p.y) / iResolution.xy);\n"
             "}\n");
  write_text(m_rDirectory.file("stem.txt"), "I\n");
  write_text(m_rDirectory.file("show.json"), R"({"scene": {"end_time": 6144, "layout_width": 96,
      "layout_height": 48, "layers": [{"time_segment": [0, 65536], "effects": [
        {"class": "Shader", "time_segment": [0, 65536], "params": {"Transform": {"Position": [12, 8]},
          "Attributes": {"Shader": 1, "Size": [24, 16]}, "Channels": {"Channel 0": 0}}},
        {"class": "Video Player", "time_segment": [0, 65536], "params": {"Transform": {"Position": [48, 8]},
          "Attributes": {"Video": 0, "Filter mode": 1}}},
        {"class": "Text", "time_segment": [0, 65536], "params": {"Transform": {"Position": [84, 24]},
          "Attributes": {"Font": 2, "Text": 3}, "Text": {"Size": 40}}}]}]},
      "files": [{"file_name": ")" + media("opaque.bmp") + R"("}, {"file_name": "channel.frag"},
                {"file_name": ")" VERNISK_FONT R"("}, {"file_name": "stem.txt"}]})");
  const std::vector<uint8_t> rImage = read_bytes(media("opaque.bmp.rgba"));
  ASSERT_EQ(24u * 16 * 4, rImage.size());
  XServerC rServer(24);
  ASSERT_NE("", rServer.display()) << "Xvfb did not start";
  m_rProcess.set_variable("DISPLAY", rServer.display());
  m_rProcess.set_variable("SDL_AUDIODRIVER", "dummy");
  std::string sWrong = "never grabbed";
  bool bPlaced = false;
  std::atomic<bool> bEnded(false);
  std::thread rViewer([&] {
    int32_t i32X = 0;
    int32_t i32Y = 0;
    bPlaced = window_position(rServer.display(), "^tiravo", &i32X, &i32Y);
    while (bPlaced && !bEnded) {
      const std::vector<uint8_t> rPixels = grab_window(rServer.display(), i32X, i32Y, WIDTH, HEIGHT);
      if (!rPixels.empty()) {
        // Pixel (x, y) of the layout, y up, against the image's pixel (u, v), rows from the top.
        auto wrong = [&](int32_t x, int32_t y, int32_t u, int32_t v) {
          const uint8_t* pShown = &rPixels[(static_cast<size_t>(HEIGHT - 1 - y) * WIDTH + x) * 3];
          const uint8_t* pImage = &rImage[(static_cast<size_t>(v) * 24 + u) * 4];
          for (int c = 0; c < 3; ++c) {
            if (std::abs(pShown[c] - pImage[c]) > 2) {
              return true;
            }
          }
          return false;
        };
        sWrong.clear();
        for (int32_t v = 0; v < 16 && sWrong.empty(); ++v) {
          for (int32_t u = 0; u < 24 && sWrong.empty(); ++u) {
            if (wrong(u, 15 - v, u, v)) {
              sWrong = "shader at " + std::to_string(u) + ", " + std::to_string(v);
            } else if (wrong(36 + u, 15 - v, u, v)) {
              sWrong = "video player at " + std::to_string(u) + ", " + std::to_string(v);
            }
          }
        }
        bool bStem = false;
        for (int32_t x = 72; x < WIDTH; ++x) {
          const uint8_t* pShown = &rPixels[(static_cast<size_t>(HEIGHT - 1 - 24) * WIDTH + x) * 3];
          bStem = bStem || (pShown[0] > 250 && pShown[1] > 250 && pShown[2] > 250);
        }
        if (!bStem && sWrong.empty()) {
          sWrong = "no white stem of the text";
        }
        if (sWrong.empty()) {
          break;
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
  });
  const TiravoProcessC::ResultS rResult =
      m_rProcess.run(m_rDirectory.path(), {"--windowed", "--plugins", plugin_directory(), "show.json"});
  bEnded = true;
  rViewer.join();
  EXPECT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  EXPECT_EQ(std::string::npos, rResult.m_sError.find("draws nothing")) << rResult.m_sError;
  ASSERT_TRUE(bPlaced) << "no window showed";
  EXPECT_EQ("", sWrong);
}

}  // namespace
