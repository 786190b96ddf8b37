#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "corelib/animkeyc.h"
#include "corelib/animtrackc.h"
#include "corelib/colorparamc.h"
#include "corelib/effectbasec.h"
#include "corelib/fileparamc.h"
#include "corelib/floatparamc.h"
#include "corelib/gizmobasec.h"
#include "corelib/importablebasec.h"
#include "corelib/importhandlec.h"
#include "corelib/importlistc.h"
#include "corelib/intparamc.h"
#include "corelib/layerc.h"
#include "corelib/ownedobject.h"
#include "corelib/scenec.h"
#include "corelib/timesegmentc.h"
#include "corelib/vector2paramc.h"
#include "description/documentsaving.h"
#include "docfile/chunkwriterc.h"
#include "registry/classregistryc.h"
#include "tests/doc/doctoolc.h"

namespace {

// Every parameter kind, animated and constant, two layers of effects,
// markers out of order and both videos.
constexpr const char* SHOW_DESCRIPTION = R"({
  "scene": { "name": "Show", "end_time": 8192,
    "markers": [ {"position": 2048, "label": "Two"}, {"position": 0, "label": "Start"} ],
    "layers": [
      { "name": "Front", "time_segment": [0, 8192],
        "effects": [
          { "class": "Video Player", "name": "Clip", "time_segment": [0, 4096],
            "params": { "Transform": { "Position": [320, 240], "Scale": [2, 0.5],
                                       "Rotation": {"track": {"end_mode": "loop", "keys": [
                                         {"time": 0, "value": 0}, {"time": 4096, "value": 90, "tension": 0.5}]}} },
                        "Attributes": { "Video": 0, "Render mode": 1, "Fill Color": [1, 0.5, 0.25, 1],
                                        "Filter mode": {"track": {"keys": [{"time": 0, "value": 0},
                                                                           {"time": 2048, "value": 1}]}} },
                        "Timing": { "FPS": 10 } } },
          { "class": {"name": "Test Rectangle"}, "time_segment": [1000, 3000],
            "params": { "Rectangle": { "Min": [10, 20], "Max": [30, 40] } } } ] },
      { "name": "Back", "time_segment": {"start": 100, "keys": [{"time": 0}, {"time": 500, "flags": ["smooth"]}]},
        "effects": [ { "class": "0x311832a9:0x166d4653", "params": {"Attributes": {"Video": 1}} } ] } ] },
  "files": [ {"file_name": "raw.avi"}, {"file_name": "media/clip.avi", "copy": "mjpeg.avi"} ],
  "music": "tune.ogg" })";

class RoundTripTest : public DocToolTestC {};

const JsonT& param(const JsonT& rDump, int32_t i32Layer, int32_t i32Effect, const char* szGizmo,
                   const char* szParam) {
  return rDump["scene"]["layers"][i32Layer]["effects"][i32Effect]["params"][szGizmo][szParam];
}

TEST_F(RoundTripTest, AHandWrittenShowDumpsAsWrittenAndBuildsBackToTheSameBytes) {
  write_text(path("show.json"), SHOW_DESCRIPTION);
  DocRunS rBuild = build("show.json", "show.doc");
  ASSERT_EQ(0, rBuild.m_iExitCode) << rBuild.m_sErr;
  const JsonT rDump = dump("show.doc", "--extract copies");

  const JsonT& rLayers = rDump["scene"]["layers"];
  ASSERT_EQ(2u, rLayers.size());
  EXPECT_EQ("Front", rLayers[0]["name"]);
  EXPECT_EQ("Clip", rLayers[0]["effects"][0]["name"]);
  EXPECT_EQ("Test Rectangle", rLayers[0]["effects"][1]["class"]["name"]);
  EXPECT_EQ(JsonT::parse(R"([{"position":0,"label":"Start"},{"position":2048,"label":"Two"}])"),
            rDump["scene"]["markers"]);
  EXPECT_EQ(100, rLayers[1]["time_segment"]["start"]);
  EXPECT_EQ(500, rLayers[1]["time_segment"]["keys"][1]["time"]);
  EXPECT_EQ(JsonT::parse(R"(["smooth"])"), rLayers[1]["time_segment"]["keys"][1]["flags"]);
  EXPECT_EQ(JsonT::parse("[320.0, 240.0]"), param(rDump, 0, 0, "Transform", "Position")["value"]);

  const JsonT& rRotation = param(rDump, 0, 0, "Transform", "Rotation");
  EXPECT_EQ(JsonT::parse(R"(["new","animated","animatable"])"), rRotation["flags"]);
  EXPECT_EQ("loop", rRotation["track"]["end_mode"]);
  EXPECT_EQ(90.0, rRotation["track"]["keys"][1]["value"]);
  EXPECT_EQ(0.5, rRotation["track"]["keys"][1]["tension"]);
  // Integer tracks hold their keys.
  EXPECT_EQ(JsonT::parse(R"(["hold"])"), param(rDump, 0, 0, "Attributes", "Filter mode")["track"]["keys"][1]["flags"]);
  EXPECT_EQ("Add", param(rDump, 0, 0, "Attributes", "Render mode")["labels"][1]["text"]);
  // A 5 frames per second video shown at 10 plays at half its length.
  EXPECT_EQ(0.5, param(rDump, 0, 0, "Attributes", "Video")["time_scale"]);
  EXPECT_EQ(1, param(rDump, 1, 0, "Attributes", "Video")["file"]);

  const JsonT& rFiles = rDump["files"];
  EXPECT_EQ("media/clip.avi", rFiles[1]["file_name"]);
  EXPECT_EQ("32 x 32 x 24BPP @ 5.0 FPS", rFiles[0]["info"]);
  EXPECT_EQ(read_text(path("raw.avi")).size(), rFiles[0]["size"]);
  EXPECT_EQ(read_text(path("raw.avi")), read_text(rFiles[0]["copy"]));
  EXPECT_EQ(read_text(path("mjpeg.avi")), read_text(rFiles[1]["copy"]));
  EXPECT_EQ("tune.ogg", rDump["music"]);
  EXPECT_EQ("OpenGL Device Driver", rDump["drivers"][0]["class"]["name"]);
  EXPECT_TRUE(rDump["uninterpreted"].empty());

  write_text(path("dumped.json"), rDump.dump());
  rBuild = build("dumped.json", "again.doc");
  ASSERT_EQ(0, rBuild.m_iExitCode) << rBuild.m_sErr;
  EXPECT_EQ(read_text(path("show.doc")), read_text(path("again.doc")));
}

// Objects set through their own interfaces to values an editor might leave:
// odd floats, unknown flag bits and modes, equal key times, a constant
// outside the limits, an increment no float holds, and a track whose value
// count is not its type's.
class OddDocumentC {
 public:
  explicit OddDocumentC(ClassRegistryC* pRegistry) : m_pRegistry(pRegistry) {}

  void make(const std::string& rVideo) {
    ImportableBaseC* pVideo =
        static_cast<ImportableBaseC*>(m_pRegistry->create_object(ClassIdentC(0x221CA738, 0x431A45BA)));
    ASSERT_TRUE(pVideo->load_file(rVideo.c_str(), nullptr));
    ImportHandleC* pHandle = m_pFiles->add_handle(pVideo);
    m_pScene->set_name("Odd");
    m_pScene->set_beats_per_min(97);
    m_pScene->set_tick_division(3);
    m_pScene->set_layout_width(320);
    m_pScene->add_marker(-5, "Before");
    LayerC* pLayer = m_pScene->add_layer();
    pLayer->set_flags(0xDEADBEEF);
    pLayer->get_time_segment()->set_segment_start(-100);
    pLayer->get_time_segment()->add_key(-100)->set_bias(1e-7f);
    EffectBaseC* pEffect = static_cast<EffectBaseC*>(m_pRegistry->create_object(ClassIdentC(0x311832A9, 0x166D4653)));
    pLayer->add_effect(pEffect);
    pEffect->set_flags(-1);
    set_transform(pEffect->get_gizmo(0));
    set_attributes(pEffect->get_gizmo(1), pHandle);
    set_timing(pEffect->get_gizmo(2));
  }

  DocumentContentS content() {
    DocumentContentS rContent;
    rContent.m_pFiles = m_pFiles.get();
    rContent.m_pScene = m_pScene.get();
    rContent.m_pMusic = &m_sMusic;
    rContent.m_rDrivers.push_back(DocumentDriverS{ClassIdentC(0, 0x2710), "OpenGL Device Driver", {1, 2, 3}});
    return rContent;
  }

 private:
  static void set_transform(GizmoBaseC* pTransform) {
    pTransform->set_flags(0x41);
    ParamBaseC* pPosition = pTransform->get_param(0);
    pPosition->add_flags(PARAM_FLAG_ANIMATED);
    const float rFirst[2] = {0.1f, -0.0f};
    const float rSecond[2] = {1e-30f, 3.4e38f};
    pPosition->set_value(0, rFirst);
    pPosition->set_value(300, rSecond);
    AnimKeyC* pKey = pPosition->get_track()->get_key(1);
    pKey->set_flags(0x44);
    pKey->set_tension(0.3f);
    pKey->set_continuity(-1.0f);
    pKey->set_ease_in(0.25f);
    pKey->set_ease_out(1.0f / 3.0f);
    pTransform->get_param(1)->set_edit_hint(1234);
    AnimTrackC* pRotation = pTransform->get_param(2)->get_track();
    pRotation->set_before_mode(7);
    pRotation->set_after_mode(TRACK_MODE_REPEAT);
    pRotation->set_value_count(0);
    pRotation->add_key(50);
    pRotation->add_key(60);
  }

  static void set_attributes(GizmoBaseC* pAttributes, ImportHandleC* pHandle) {
    ParamBaseC* pColor = pAttributes->get_param(0);
    pColor->add_flags(PARAM_FLAG_ANIMATED);
    const float rColor[4] = {0.2f, 0.4f, 0.6f, 0.8f};
    pColor->set_value(100, rColor);
    pColor->get_track()->add_key(100)->set_bias(0.5f);
    IntParamC* pRenderMode = static_cast<IntParamC*>(pAttributes->get_param(1));
    pRenderMode->set_label(5, "Five");
    pRenderMode->set_min_max(-3, 9);
    pRenderMode->set_increment(3e9f);
    const int32_t i32Mode = 7;
    pRenderMode->set_value(0, &i32Mode);
    FileParamC* pVideo = static_cast<FileParamC*>(pAttributes->get_param(3));
    pVideo->set_file(pHandle);
    pVideo->set_time_offset(77);
    pVideo->set_time_scale(0.3f);
  }

  // A frame rate above the limit, as a document may hold one.
  static void set_timing(GizmoBaseC* pTiming) {
    ParamBaseC* pFps = pTiming->get_param(0);
    const uint32_t ui32Flags = pFps->get_flags();
    pFps->remove_flags(PARAM_FLAG_CLAMP);
    const float f32Fps = 2000.0f;
    pFps->set_value(0, &f32Fps);
    pFps->set_flags(ui32Flags);
  }

  ClassRegistryC* m_pRegistry;
  OwnedT<SceneC> m_pScene{SceneC::create_scene()};
  OwnedT<ImportListC> m_pFiles{ImportListC::create_list()};
  std::string m_sMusic = "odd.ogg";
};

TEST_F(RoundTripTest, ADocumentMadeWithTheObjectsBuildsBackToTheSameBytes) {
  ClassRegistryC rRegistry;
  testing::internal::CaptureStderr();
  rRegistry.load_plugins(path("plugins").c_str());
  testing::internal::GetCapturedStderr();
  {
    OddDocumentC rDocument(&rRegistry);
    rDocument.make(path("mjpeg.avi"));
    ASSERT_EQ(CHUNK_OK, save_document(path("odd.doc").c_str(), rDocument.content()));
  }
  const JsonT rDump = dump("odd.doc", "--extract odd-copies");
  const JsonT& rPositionKeys = param(rDump, 0, 0, "Transform", "Position")["track"]["keys"];
  EXPECT_EQ(JsonT::parse(R"(["smooth",64])"), rPositionKeys[1]["flags"]);
  EXPECT_TRUE(std::signbit(rPositionKeys[0]["value"][1].get<double>()));
  EXPECT_EQ(2u, param(rDump, 0, 0, "Attributes", "Fill Color")["track"]["keys"].size());
  const JsonT& rRotationTrack = param(rDump, 0, 0, "Transform", "Rotation")["track"];
  EXPECT_EQ(7, rRotationTrack["start_mode"]);
  EXPECT_EQ(0, rRotationTrack.value("value_count", -1));
  EXPECT_FALSE(rRotationTrack["keys"][1].contains("value"));
  EXPECT_EQ(INT32_MAX, param(rDump, 0, 0, "Attributes", "Render mode")["increment"]);
  EXPECT_EQ(2000.0, param(rDump, 0, 0, "Timing", "FPS")["value"]);
  EXPECT_EQ("010203", rDump["drivers"][0]["data"]);
  write_text(path("odd.json"), rDump.dump());
  DocRunS rBuild = build("odd.json", "odd-again.doc");
  ASSERT_EQ(0, rBuild.m_iExitCode) << rBuild.m_sErr;
  EXPECT_EQ(read_text(path("odd.doc")), read_text(path("odd-again.doc")));
}

// A name stored in a single-byte code page is not UTF-8: the JSON cannot hold
// its bytes, but the copy it names must exist and build.
TEST_F(RoundTripTest, AStoredNameThatIsNotUtf8IsExtractedUnderAPrintableName) {
  write_text(path("latin.json"), R"({"files": [ {"file_name": "caf#.avi", "copy": "raw.avi"} ]})");
  ASSERT_EQ(0, build("latin.json", "latin.doc").m_iExitCode);
  std::string sDocument = read_text(path("latin.doc"));
  const size_t uMark = sDocument.find("caf#.avi");
  ASSERT_NE(std::string::npos, uMark);
  sDocument[uMark + 3] = '\xE9';
  write_text(path("latin.doc"), sDocument);
  const JsonT rDump = dump("latin.doc", "--extract latin-copies");
  EXPECT_EQ(path("latin-copies/caf_.avi"), rDump["files"][0]["copy"]);
  write_text(path("latin-again.json"), rDump.dump(-1, ' ', false, JsonT::error_handler_t::replace));
  const DocRunS rBuild = build("latin-again.json", "latin-again.doc");
  EXPECT_EQ(0, rBuild.m_iExitCode) << rBuild.m_sErr;
}

}  // namespace
