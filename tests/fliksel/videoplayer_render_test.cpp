#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <thread>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "corelib/colorparamc.h"
#include "corelib/fileparamc.h"
#include "corelib/gizmobasec.h"
#include "corelib/importhandlec.h"
#include "corelib/intparamc.h"
#include "corelib/layerc.h"
#include "corelib/scenec.h"
#include "corelib/timesegmentc.h"
#include "corelib/vector2paramc.h"
#include "docfile/chunkwriterc.h"
#include "tests/endtoend/tiravoprocessc.h"
#include "tests/endtoend/xserverc.h"
#include "tests/fliksel/flikseltest.h"
#include "tests/fliksel/importchunks.h"
#include "tests/plugins/testrect.h"
#include "tests/support/aviwriter.h"
#include "tests/support/presentationfile.h"
#include "tests/support/renderedframec.h"
#include "tests/support/windowgrab.h"

namespace {


const RgbT BLACK = {0, 0, 0};
const RgbT RED = {255, 0, 0};
const RgbT GREEN = {0, 255, 0};
const RgbT BLUE = {0, 0, 255};
const RgbT WHITE = {255, 255, 255};

// Video pictures pass through JPEG and filtering: colours are near, not exact.
constexpr int VIDEO_TOLERANCE = 8;

// A presentation of video player effects, written with the plug-in's real
// objects and drawn by the real tiravo with the shipped OpenGL driver.
class VideoRenderTest : public FlikselTest {
 protected:
  void SetUp() override {
    load_plugins(true);
    // The scene's own defaults: 120 beats of 4 units, 2048 ticks per second.
    m_pScene->set_beats_per_min(120);
    m_pScene->set_beat_units(4);
    m_pScene->set_end_time(0);
    m_pLayer = m_pScene->add_layer();
    show_over(m_pLayer->get_time_segment(), 0, 1 << 30);
    // Mesa may leave its own allocations behind at exit.
    m_rProcess.set_variable("ASAN_OPTIONS", "detect_leaks=0");
  }

  void TearDown() override {
    m_pScene.reset();
    m_rHandles.clear();
    m_rVideos.clear();
  }

  static void show_over(TimeSegmentC* pSegment, int32_t i32Start, int32_t i32End) {
    OwnedT<TimeSegmentC> pShown(TimeSegmentC::create_segment(i32Start, i32End));
    pSegment->copy(pShown.get());
  }

  // The document's file number i of the videos imported so far.
  ImportHandleC* add_video(const char* szMedia) { return add_imported(import(szMedia)); }
  ImportHandleC* add_movie(const char* szName) { return add_imported(import_movie(szName)); }
  ImportHandleC* add_imported(OwnedT<GraphicsImportableC> pVideo) {
    m_rVideos.push_back(std::move(pVideo));
    m_rHandles.emplace_back(ImportHandleC::create_handle());
    m_rHandles.back()->set_importable(m_rVideos.back().get());
    m_rHandles.back()->set_user_value(static_cast<int32_t>(m_rHandles.size()) - 1);
    return m_rHandles.back().get();
  }

  // Drawn after the effects added before it, from i32Start of the layer.
  EffectBaseC* add_player(ImportHandleC* pVideo, const Vector2C& rPosition, int32_t i32Start = 0) {
    auto* pEffect = dynamic_cast<EffectBaseC*>(m_rRegistry.create_object(VIDEO_PLAYER_CLASS));
    pEffect->set_default_file(pVideo);
    static_cast<Vector2ParamC*>(pEffect->get_gizmo(0)->get_param(0))->set_value(0, rPosition);
    show_over(pEffect->get_time_segment(), i32Start, 1 << 30);
    m_pLayer->insert_effect(0, pEffect);
    return pEffect;
  }

  void add_background(const Vector2C& rMax, const RgbaColorC& rColor) {
    auto* pRect = dynamic_cast<EffectBaseC*>(m_rRegistry.create_object(TESTRECT_CLASS));
    GizmoBaseC* pGizmo = pRect->get_gizmo(TESTRECT_GIZMO_ID);
    static_cast<Vector2ParamC*>(pGizmo->get_param(TESTRECT_PARAM_MAX))->set_value(0, rMax);
    static_cast<ColorParamC*>(pGizmo->get_param(TESTRECT_PARAM_COLOR))->set_value(0, rColor);
    show_over(pRect->get_time_segment(), 0, 1 << 30);
    m_pLayer->insert_effect(m_pLayer->get_effect_count(), pRect);
  }

  // Int parameters take floats too, truncated.
  static void set_float(EffectBaseC* pEffect, int32_t i32Gizmo, int32_t i32Param, float f32Value) {
    pEffect->get_gizmo(i32Gizmo)->get_param(i32Param)->set_value(0, &f32Value);
  }

  static void set_vector(EffectBaseC* pEffect, int32_t i32Param, const Vector2C& rValue) {
    static_cast<Vector2ParamC*>(pEffect->get_gizmo(0)->get_param(i32Param))->set_value(0, rValue);
  }

  // Renders at i32Fps frames per second from 0 to the scene's end time.
  void render(int32_t i32Width, int32_t i32Height, int32_t i32Fps) {
    write_document(i32Width, i32Height);
    const TiravoProcessC::ResultS rResult = m_rProcess.run(
        m_rDirectory.path(),
        {"--render", "frames", "--fps", std::to_string(i32Fps), "--plugins", plugin_directory(), "show.doc"});
    ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  }

  // show.doc: the videos, the scene at that layout size, the OpenGL driver.
  void write_document(int32_t i32Width, int32_t i32Height) {
    m_pScene->set_layout_width(i32Width);
    m_pScene->set_layout_height(i32Height);
    ChunkWriterC rWriter;
    ASSERT_EQ(CHUNK_OK, rWriter.open(m_rDirectory.file("show.doc").c_str(), DOCUMENT_SIGNATURE,
                                     DOCUMENT_SIGNATURE_LENGTH));
    for (OwnedT<GraphicsImportableC>& rVideo : m_rVideos) {
      write_class_chunk(rWriter, 0x1000, rVideo->get_class_ident(), rVideo->get_class_name(), rVideo.get());
    }
    write_scene_chunk(rWriter, m_pScene.get());
    write_class_chunk(rWriter, 0x5000, ClassIdentC(0, 0x2710), "OpenGL Device Driver", nullptr);
    ASSERT_EQ(CHUNK_OK, rWriter.close());
  }

  RenderedFrameC frame(int32_t i32Index) const {
    return RenderedFrameC(m_rDirectory.file("frames"), i32Index);
  }

  OwnedT<SceneC> m_pScene{SceneC::create_scene()};
  LayerC* m_pLayer = nullptr;
  std::vector<OwnedT<GraphicsImportableC>> m_rVideos;
  std::vector<OwnedT<ImportHandleC>> m_rHandles;
  TiravoProcessC m_rProcess;
};

RgbT solid(int32_t i32Frame) { return solid_colour(i32Frame); }

TEST_F(VideoRenderTest, PlayRateKeepsTheVideoTimeScaleInStep) {
  ImportHandleC* pVideo = add_video("solid.avi");
  EffectBaseC* pEffect = add_player(pVideo, Vector2C(0, 0));
  auto* pFile = static_cast<FileParamC*>(pEffect->get_gizmo(1)->get_param(3));
  ParamBaseC* pFps = pEffect->get_gizmo(2)->get_param(0);
  // Assigned, the video plays at its own rate of 25 frames per second.
  float f32Fps = 0.0f;
  pFps->get_value(0, &f32Fps);
  EXPECT_EQ(25.0f, f32Fps);
  EXPECT_EQ(1.0f, pFile->get_time_scale());
  // Twice as fast, it lasts half as long; below 1 the scale is 1.
  for (const auto& rCase : {std::pair<float, float>{50.0f, 0.5f}, {12.5f, 2.0f}, {0.5f, 1.0f}}) {
    set_float(pEffect, 2, 0, rCase.first);
    EXPECT_EQ(rCase.second, pFile->get_time_scale()) << rCase.first;
  }
}

// At 2048 ticks per second and 25 frames per second, tick t shows frame
// floor(t × 25 / 2048): 4096 is frame 50, 4095 is 49.98, so 49.
TEST_F(VideoRenderTest, FrameFollowsTimeAtThePlayRateOrTheAnimatedFrame) {
  ImportHandleC* pVideo = add_video("solid.avi");
  add_player(pVideo, Vector2C(32, 16));
  add_player(pVideo, Vector2C(96, 16), 1);
  set_float(add_player(pVideo, Vector2C(160, 16)), 2, 0, 12.5f);
  // Keyed frames are truncated toward zero: 7.9 shows 7, and -0.5 shows 0.
  for (const float f32Frame : {7.9f, -0.5f}) {
    EffectBaseC* pKeyed = add_player(pVideo, Vector2C(f32Frame > 0 ? 224 : 288, 16));
    pKeyed->get_gizmo(2)->get_param(1)->add_flags(PARAM_FLAG_ANIMATED);
    set_float(pKeyed, 2, 1, f32Frame);
  }
  m_pScene->set_end_time(4096);

  // Frames at 0, 1 and 2 s: 0, 2048 and 4096 ticks.
  render(320, 32, 1);
  const int32_t i32Expected[3][5] = {{0, -1, 0, 7, 0}, {25, 24, 12, 7, 0}, {50, 49, 25, 7, 0}};
  for (int32_t k = 0; k < 3; ++k) {
    const RenderedFrameC rFrame = frame(k);
    for (int32_t i = 0; i < 5; ++i) {
      const int32_t i32Shown = i32Expected[k][i];
      expect_colour(i32Shown < 0 ? BLACK : solid(i32Shown), rFrame.at(32 + 64 * i, 16),
                    "second " + std::to_string(k) + ", effect " + std::to_string(i), VIDEO_TOLERANCE);
    }
  }
}

TEST_F(VideoRenderTest, PositionPivotRotationAndScalePlaceThePicture) {
  ImportHandleC* pSolid = add_video("solid.avi");
  ImportHandleC* pQuarters = add_video("quarters.avi");
  // 64 × 32 turned by 90 and stretched twice along x: 64 × 64 about (110, 50).
  EffectBaseC* pTurned = add_player(pSolid, Vector2C(110, 50));
  set_float(pTurned, 0, 2, 90.0f);
  set_vector(pTurned, 3, Vector2C(2, 1));
  // Moved by the pivot (10, 0) before the half turn: x from 50 - 42 to 50 + 22.
  EffectBaseC* pPivoted = add_player(pSolid, Vector2C(50, 105));
  set_vector(pPivoted, 1, Vector2C(10, 0));
  set_float(pPivoted, 0, 2, 180.0f);
  // The quarters, four times as large, a quarter turn counter-clockwise.
  EffectBaseC* pQuarterTurn = add_player(pQuarters, Vector2C(200, 40));
  set_float(pQuarterTurn, 0, 2, 90.0f);
  set_vector(pQuarterTurn, 3, Vector2C(4, 4));

  render(256, 128, 1);
  const RenderedFrameC rFrame = frame(0);
  const RgbT rFirst = solid(0);
  for (const auto& rInside : {std::array<int32_t, 2>{79, 19}, {140, 19}, {140, 81}, {79, 81}, {9, 90}, {70, 120}}) {
    expect_colour(rFirst, rFrame.at(rInside[0], rInside[1]), "inside " + std::to_string(rInside[0]), VIDEO_TOLERANCE);
  }
  for (const auto& rOutside : {std::array<int32_t, 2>{76, 50}, {143, 50}, {110, 16}, {110, 83}, {7, 105}, {73, 105},
                               {40, 87}, {40, 122}}) {
    expect_colour(BLACK, rFrame.at(rOutside[0], rOutside[1]), "outside " + std::to_string(rOutside[0]), VIDEO_TOLERANCE);
  }
  // Upright, red is top left; turned, it is bottom left, and green top left.
  expect_colour(GREEN, rFrame.at(184, 56), "top left", VIDEO_TOLERANCE);
  expect_colour(WHITE, rFrame.at(216, 56), "top right", VIDEO_TOLERANCE);
  expect_colour(RED, rFrame.at(184, 24), "bottom left", VIDEO_TOLERANCE);
  expect_colour(BLUE, rFrame.at(216, 24), "bottom right", VIDEO_TOLERANCE);
}

TEST_F(VideoRenderTest, RenderModesTintAndBlendOverWhatIsBehind) {
  const std::array<double, 3> rBehind = {0.4, 0.6, 0.8};
  add_background(Vector2C(256, 32), RgbaColorC(0.4f, 0.6f, 0.8f, 1.0f));
  ImportHandleC* pVideo = add_video("solid.avi");
  const RgbaColorC rFill(1.0f, 0.5f, 1.0f, 0.6f);
  // Modes 0 to 3 tinted, then one left at its defaults.
  for (int32_t i32Mode = 0; i32Mode < 5; ++i32Mode) {
    EffectBaseC* pEffect = add_player(pVideo, Vector2C(32 + 64 * i32Mode, 16));
    // Frame 58 whatever the time.
    pEffect->get_gizmo(2)->get_param(1)->add_flags(PARAM_FLAG_ANIMATED);
    set_float(pEffect, 2, 1, 58.5f);
    if (i32Mode < 4) {
      // The parameter's range stops at 2; a document may hold more.
      static_cast<IntParamC*>(pEffect->get_gizmo(1)->get_param(1))->set_min_max(0, 0);
      set_float(pEffect, 1, 1, static_cast<float>(i32Mode));
      static_cast<ColorParamC*>(pEffect->get_gizmo(1)->get_param(0))->set_value(0, rFill);
    }
  }
  render(320, 32, 1);
  const RenderedFrameC rFrame = frame(0);
  const RgbT rVideo = solid(58);
  const double f64Fill[3] = {rFill.m_f32R, rFill.m_f32G, rFill.m_f32B};
  const double f64Alpha = rFill.m_f32A;
  RgbT rNormal;
  RgbT rAdd;
  RgbT rMult;
  RgbT rMultUnweighted;
  for (size_t c = 0; c < 3; ++c) {
    const double f64Source = rVideo[c] / 255.0 * f64Fill[c];
    rNormal[c] = static_cast<int>(255.0 * (f64Source * f64Alpha + rBehind[c] * (1.0 - f64Alpha)) + 0.5);
    rAdd[c] = static_cast<int>(255.0 * std::min(1.0, f64Source * f64Alpha + rBehind[c]) + 0.5);
    rMult[c] = static_cast<int>(255.0 * (f64Source * f64Alpha * rBehind[c] + rBehind[c] * (1.0 - f64Alpha)) + 0.5);
    rMultUnweighted[c] = static_cast<int>(255.0 * (f64Source * rBehind[c] + rBehind[c] * (1.0 - f64Alpha)) + 0.5);
  }
  expect_colour(rNormal, rFrame.at(32, 16), "normal", VIDEO_TOLERANCE);
  expect_colour(rAdd, rFrame.at(96, 16), "add", VIDEO_TOLERANCE);
  expect_colour(rMult, rFrame.at(160, 16), "mult", VIDEO_TOLERANCE);
  expect_colour(rMultUnweighted, rFrame.at(224, 16), "mode 3: mult, the fill not weighted", VIDEO_TOLERANCE);
  expect_colour(rVideo, rFrame.at(288, 16), "white fill, opaque", VIDEO_TOLERANCE);
}

// Eight pixels a texel: bilinear filtering mixes the two texels whose
// centres lie 4 pixels either side of the edge between red and green.
TEST_F(VideoRenderTest, FilterModesSmoothOrKeepTexelsSharp) {
  ImportHandleC* pQuarters = add_video("quarters.avi");
  // Modes 0, 1, and 5, which the document may hold beyond the range.
  for (int32_t i32Mode = 0; i32Mode < 3; ++i32Mode) {
    EffectBaseC* pEffect = add_player(pQuarters, Vector2C(64 + 128 * i32Mode, 64));
    set_vector(pEffect, 3, Vector2C(8, 8));
    static_cast<IntParamC*>(pEffect->get_gizmo(1)->get_param(2))->set_min_max(0, 0);
    set_float(pEffect, 1, 2, i32Mode < 2 ? static_cast<float>(i32Mode) : 5.0f);
  }
  render(384, 128, 1);
  const RenderedFrameC rFrame = frame(0);
  // Pixel centres 2.5 pixels left and right of the edge at x = 64.
  const double f64Near = 0.5 + 2.5 / 8.0;
  const RgbT rLeftMix = {static_cast<int>(255 * f64Near + 0.5), static_cast<int>(255 * (1 - f64Near) + 0.5), 0};
  const RgbT rRightMix = {rLeftMix[1], rLeftMix[0], 0};
  expect_colour(rLeftMix, rFrame.at(61, 96), "bilinear, left of the edge", VIDEO_TOLERANCE);
  expect_colour(rRightMix, rFrame.at(66, 96), "bilinear, right of the edge", VIDEO_TOLERANCE);
  expect_colour(RED, rFrame.at(128 + 61, 96), "nearest, left of the edge", VIDEO_TOLERANCE);
  expect_colour(GREEN, rFrame.at(128 + 66, 96), "nearest, right of the edge", VIDEO_TOLERANCE);
  expect_colour(RED, rFrame.at(256 + 61, 96), "mode 5, left of the edge", VIDEO_TOLERANCE);
  expect_colour(GREEN, rFrame.at(256 + 66, 96), "mode 5, right of the edge", VIDEO_TOLERANCE);
  expect_colour(RED, rFrame.at(32, 96), "bilinear, inside a quarter", VIDEO_TOLERANCE);
  // Clamped to the edge texels, not blended with a border colour.
  expect_colour(RED, rFrame.at(0, 96), "bilinear, left edge", VIDEO_TOLERANCE);
  expect_colour(GREEN, rFrame.at(127, 127), "bilinear, top right corner", VIDEO_TOLERANCE);
}

// solid.avi laid out as the files people have: the video as the second
// stream after half a second of sound, three OpenDML parts, a main header
// counting nothing, no key-frame flags, and an empty chunk (no new picture)
// as frame 50. Embedded in the document, every frame shows in its place.
TEST_F(VideoRenderTest, VideosOfOtherLayoutsShowEveryFrameInItsPlace) {
  std::ifstream rSolid(media("solid.avi"), std::ios::binary);
  const AviWriterN::SourceC rSource = AviWriterN::read_source(
      AviWriterN::BytesT(std::istreambuf_iterator<char>(rSolid), std::istreambuf_iterator<char>()));
  ASSERT_EQ(rSource.m_rFrames.size(), static_cast<size_t>(SOLID_FRAME_COUNT));
  AviWriterN::LayoutC rLayout;
  rLayout.m_rVideoFormat = rSource.m_rFormat;
  rLayout.m_rChunks = rSource.m_rFrames;
  rLayout.m_rChunks.insert(rLayout.m_rChunks.begin() + 50, {AviWriterN::VIDEO_FRAME, {}, false});
  for (int32_t i = 0; i < 5; ++i) {
    rLayout.m_rChunks.insert(rLayout.m_rChunks.begin(), {AviWriterN::AUDIO_SAMPLES, AviWriterN::BytesT(4410, 0), true});
  }
  rLayout.m_bAudio = true;
  rLayout.m_bAudioFirst = true;
  rLayout.m_rPartStarts = {40, 80};
  rLayout.m_i64HeaderFrames = 0;
  rLayout.m_bKeyFlags = false;
  const std::string sPath = m_rDirectory.file("layouts.avi");
  const AviWriterN::BytesT rFile = AviWriterN::write_avi(rLayout);
  std::ofstream(sPath, std::ios::binary).write(reinterpret_cast<const char*>(rFile.data()),
                                               static_cast<std::streamsize>(rFile.size()));
  OwnedT<GraphicsImportableC> pVideo = create<GraphicsImportableC>(AVI_IMPORT_CLASS);
  ASSERT_TRUE(pVideo->load_file(sPath.c_str(), nullptr));
  EXPECT_EQ(SOLID_FRAME_COUNT + 1, pVideo->get_frame_count());
  add_player(add_imported(std::move(pVideo)), Vector2C(32, 16));
  // Rendered at 25 frames a second, 101 of them: frame k's time is 40 k ms,
  // in whole ticks, and shows video frame floor(ticks × 25 / 2048).
  m_pScene->set_end_time(8192 + 82);
  render(64, 32, 25);
  for (int32_t k = 0; k <= SOLID_FRAME_COUNT; ++k) {
    const int32_t i32Frame = (40 * k * 2048 / 1000) * 25 / 2048;
    const int32_t i32Picture = i32Frame < 50 ? i32Frame : i32Frame - 1;
    expect_colour(solid(i32Picture), frame(k).at(32, 16), "frame " + std::to_string(k), VIDEO_TOLERANCE);
  }
}

// A movie with alpha over a coloured background, drawn texel for pixel: the
// Normal mode blends each pixel with the picture's own alpha times the Fill
// Color's, and the picture is the ffmpeg command's decode of the frame.
TEST_F(VideoRenderTest, MovieAlphaBlendsInNormalModeWithTheFillColoursAlpha) {
  const std::array<double, 3> rBehind = {0.4, 0.6, 0.8};
  add_background(Vector2C(128, 64), RgbaColorC(0.4f, 0.6f, 0.8f, 1.0f));
  ImportHandleC* pMovie = add_movie("mov_png.mov");
  const RgbaColorC rFill(1.0f, 0.5f, 1.0f, 0.6f);
  const RgbaColorC rOpaque(1.0f, 1.0f, 1.0f, 1.0f);
  for (int32_t i = 0; i < 2; ++i) {
    EffectBaseC* pEffect = add_player(pMovie, Vector2C(32 + 64 * i, 32));
    pEffect->get_gizmo(2)->get_param(1)->add_flags(PARAM_FLAG_ANIMATED);
    set_float(pEffect, 2, 1, 5.0f);
    set_float(pEffect, 1, 2, 1.0f);  // nearest: one texel a pixel, unmixed
    static_cast<ColorParamC*>(pEffect->get_gizmo(1)->get_param(0))->set_value(0, i == 0 ? rOpaque : rFill);
  }
  render(128, 64, 1);
  const RenderedFrameC rFrame = frame(0);
  const BytesT rRaw = file_bytes(movie("mov_png.raw"));
  ASSERT_EQ(rRaw.size(), 24u * 64 * 64 * 4);
  int32_t i32Clear = 0;
  int32_t i32Solid = 0;
  for (int32_t y = 1; y < 64; y += 9) {
    for (int32_t x = 0; x < 64; ++x) {
      // Texture rows run from the top, layout rows from the bottom.
      const uint8_t* pTexel = &rRaw[((5 * 64 + (63 - y)) * 64 + x) * 4];
      const double f64Alpha = pTexel[3] / 255.0;
      i32Clear += pTexel[3] < 8;
      i32Solid += pTexel[3] > 247;
      const double f64Picture[3] = {pTexel[0] / 255.0, pTexel[1] / 255.0, pTexel[2] / 255.0};
      const double f64Fill[3] = {rFill.m_f32R, rFill.m_f32G, rFill.m_f32B};
      RgbT rOwnAlpha;
      RgbT rBothAlphas;
      for (size_t c = 0; c < 3; ++c) {
        rOwnAlpha[c] = static_cast<int>(255.0 * (f64Picture[c] * f64Alpha + rBehind[c] * (1.0 - f64Alpha)) + 0.5);
        const double f64Mixed = f64Alpha * rFill.m_f32A;
        rBothAlphas[c] = static_cast<int>(
            255.0 * (f64Picture[c] * f64Fill[c] * f64Mixed + rBehind[c] * (1.0 - f64Mixed)) + 0.5);
      }
      const std::string sWhere = std::to_string(x) + ", " + std::to_string(y);
      expect_colour(rOwnAlpha, rFrame.at(x, y), "own alpha at " + sWhere, 2);
      expect_colour(rBothAlphas, rFrame.at(64 + x, y), "both alphas at " + sWhere, 2);
    }
  }
  // The samples cover nearly clear, nearly solid and half-transparent texels.
  EXPECT_GT(i32Clear, 0);
  EXPECT_GT(i32Solid, 0);
}

// Movies of four containers side by side, one texel a pixel, in a layout of
// 256 x 64: the MOV has alpha and shows over black, its colour times its
// alpha; the others show their pictures exactly.
class FourMoviesTest : public VideoRenderTest {
 protected:
  struct MovieS {
    const char* m_szName;
    const char* m_szExtension;
    bool m_bAlpha;
  };
  static constexpr std::array<MovieS, 4> MOVIES = {MovieS{"mp4_h264_bframes", ".mp4", false},
                                                   MovieS{"mkv_vp9", ".mkv", false},
                                                   MovieS{"webm_vp8", ".webm", false},
                                                   MovieS{"mov_prores4444", ".mov", true}};

  void SetUp() override {
    VideoRenderTest::SetUp();
    for (size_t i = 0; i < MOVIES.size(); ++i) {
      const std::string sName = MOVIES[i].m_szName;
      m_rPlayers.push_back(add_player(add_movie((sName + MOVIES[i].m_szExtension).c_str()),
                                      Vector2C(32 + 64 * static_cast<float>(i), 32)));
      set_float(m_rPlayers.back(), 1, 2, 1.0f);  // nearest: one texel a pixel, unmixed
      m_rReferences.push_back(file_bytes(movie((sName + ".raw").c_str())));
      ASSERT_EQ(m_rReferences.back().size(), 24u * 64 * 64 * 4) << sName;
    }
  }

  // Where movie i shows something other than the ffmpeg command's decode of
  // its picture i32Frame: the count of such pixels and the first of them.
  // rShown(x, y) is the colour shown at layout pixel (x, y), y up.
  template <typename ShownT>
  std::pair<int32_t, std::string> wrong_pixels(size_t i, int32_t i32Frame, const ShownT& rShown) const {
    const bool bAlpha = MOVIES[i].m_bAlpha;
    std::pair<int32_t, std::string> rWrong(0, "");
    for (int32_t y = 0; y < 64; ++y) {
      for (int32_t x = 0; x < 64; ++x) {
        // Texture rows run from the top, layout rows from the bottom.
        const uint8_t* pTexel = &m_rReferences[i][((i32Frame * 64 + (63 - y)) * 64 + x) * 4];
        const int iAlpha = pTexel[3];
        const RgbT rExpected = {(pTexel[0] * iAlpha + 127) / 255, (pTexel[1] * iAlpha + 127) / 255,
                                (pTexel[2] * iAlpha + 127) / 255};
        const RgbT rColour = rShown(64 * static_cast<int32_t>(i) + x, y);
        bool bNear = true;
        for (size_t c = 0; c < 3; ++c) {
          bNear = bNear && std::abs(rExpected[c] - rColour[c]) <= (bAlpha ? 1 : 0);
        }
        if (!bNear && rWrong.first++ == 0) {
          rWrong.second = std::to_string(x) + ", " + std::to_string(y);
        }
      }
    }
    return rWrong;
  }

  std::vector<EffectBaseC*> m_rPlayers;
  std::vector<BytesT> m_rReferences;
};

// Played by the real tiravo --render at 32 frames a second, a frame is 64
// ticks and shows video frame floor(25 k / 32), so all 24 come up, some twice.
TEST_F(FourMoviesTest, RenderedEveryFrameIsTheFfmpegCommandsDecode) {
  m_pScene->set_end_time(30 * 64 + 32);
  render(256, 64, 32);
  for (int32_t k = 0; k <= 30; ++k) {
    const int32_t i32Frame = 25 * k / 32;
    const RenderedFrameC rFrame = frame(k);
    ASSERT_EQ(rFrame.width(), 256) << "frame " << k;
    for (size_t i = 0; i < MOVIES.size(); ++i) {
      const auto rWrong = wrong_pixels(i, i32Frame, [&](int32_t x, int32_t y) { return rFrame.at(x, y); });
      EXPECT_EQ(0, rWrong.first) << MOVIES[i].m_szName << ", frame " << k << " (video frame " << i32Frame
                                 << "), first at " << rWrong.second;
    }
  }
}

// Played by the real tiravo --windowed on a virtual display, each movie held
// at frame 7 by its animated "Frame": the window shows the same pictures.
// The window is grabbed until they show (the first frames may not be drawn
// yet) or the presentation ends after its 3 seconds.
TEST_F(FourMoviesTest, PlayedInAWindowTheFramesAreTheFfmpegCommandsDecode) {
  for (EffectBaseC* pPlayer : m_rPlayers) {
    pPlayer->get_gizmo(2)->get_param(1)->add_flags(PARAM_FLAG_ANIMATED);
    set_float(pPlayer, 2, 1, 7.0f);
  }
  m_pScene->set_end_time(3 * 2048);
  write_document(256, 64);
  XServerC rServer(24);
  ASSERT_NE("", rServer.display()) << "Xvfb did not start";
  m_rProcess.set_variable("DISPLAY", rServer.display());
  m_rProcess.set_variable("SDL_AUDIODRIVER", "dummy");
  std::array<std::pair<int32_t, std::string>, MOVIES.size()> rWrong;
  rWrong.fill({-1, "none: never grabbed"});
  bool bPlaced = false;
  std::atomic<bool> bEnded(false);
  std::thread rViewer([&] {
    int32_t i32X = 0;
    int32_t i32Y = 0;
    bPlaced = window_position(rServer.display(), "^tiravo", &i32X, &i32Y);
    while (bPlaced && !bEnded) {
      const BytesT rPixels = grab_window(rServer.display(), i32X, i32Y, 256, 64);
      bool bAllRight = !rPixels.empty();
      for (size_t i = 0; i < MOVIES.size() && !rPixels.empty(); ++i) {
        rWrong[i] = wrong_pixels(i, 7, [&](int32_t x, int32_t y) {
          const uint8_t* pPixel = &rPixels[(static_cast<size_t>(63 - y) * 256 + static_cast<size_t>(x)) * 3];
          return RgbT{pPixel[0], pPixel[1], pPixel[2]};
        });
        bAllRight = bAllRight && rWrong[i].first == 0;
      }
      if (bAllRight) {
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
  });
  const TiravoProcessC::ResultS rResult =
      m_rProcess.run(m_rDirectory.path(), {"--windowed", "--plugins", plugin_directory(), "show.doc"});
  bEnded = true;
  rViewer.join();
  EXPECT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  ASSERT_TRUE(bPlaced) << "no window showed";
  for (size_t i = 0; i < MOVIES.size(); ++i) {
    EXPECT_EQ(0, rWrong[i].first) << MOVIES[i].m_szName << ", first at " << rWrong[i].second;
  }
}

}  // namespace
