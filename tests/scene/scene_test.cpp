#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "corelib/layerc.h"
#include "corelib/ownedobject.h"
#include "corelib/scenec.h"
#include "corelib/timesegmentc.h"
#include "docfile/chunkreaderc.h"
#include "docfile/chunkwriterc.h"
#include "tests/support/effectdocumenttestc.h"
#include "tests/support/recordingundoc.h"
#include "tests/support/testeffectc.h"

namespace {

// Layers with the given names, each with one effect holding its layer index.
OwnedT<SceneC> make_scene(const std::vector<std::string>& rNames) {
  OwnedT<SceneC> pScene(SceneC::create_scene());
  for (size_t uIndex = 0; uIndex < rNames.size(); ++uIndex) {
    pScene->add_layer();
  }
  for (size_t uIndex = 0; uIndex < rNames.size(); ++uIndex) {
    LayerC* pLayer = pScene->get_layer(static_cast<uint32_t>(uIndex));
    pLayer->set_name(rNames[uIndex].c_str());
    pLayer->add_effect(TestEffectC::make(static_cast<int32_t>(uIndex)));
  }
  return pScene;
}

std::string layer_names(SceneC* pScene) {
  std::string sNames;
  for (int32_t i32Index = 0; i32Index < pScene->get_layer_count(); ++i32Index) {
    sNames += pScene->get_layer(static_cast<uint32_t>(i32Index))->get_name();
  }
  return sNames;
}

void set_settings(SceneC* pScene, int32_t i32Base) {
  pScene->set_layout_width(i32Base + 1);
  pScene->set_layout_height(i32Base + 2);
  pScene->set_end_time(i32Base + 3);
  pScene->set_beats_per_min(i32Base + 4);
  pScene->set_beat_units(i32Base + 5);
  pScene->set_beat_group(i32Base + 6);
  pScene->set_tick_division(i32Base + 7);
}

void expect_settings(SceneC* pScene, int32_t i32Base) {
  EXPECT_EQ(i32Base + 1, pScene->get_layout_width());
  EXPECT_EQ(i32Base + 2, pScene->get_layout_height());
  EXPECT_EQ(i32Base + 3, pScene->get_end_time());
  EXPECT_EQ(i32Base + 4, pScene->get_beats_per_min());
  EXPECT_EQ(i32Base + 5, pScene->get_beat_units());
  EXPECT_EQ(i32Base + 6, pScene->get_beat_group());
  EXPECT_EQ(i32Base + 7, pScene->get_tick_division());
}

class SceneTest : public EffectDocumentTestC {
 protected:
  int32_t load_scene(ChunkReaderC& rReader, SceneC* pScene, bool bKeepSettings = false) {
    return m_rFile.load_with(rReader, [&](ChunkReaderC* pReader) { return pScene->load_ex(pReader, bKeepSettings); });
  }
};

TEST_F(SceneTest, RoundTripKeepsLayersSettingsAndMarkers) {
  OwnedT<SceneC> pScene = make_scene({"L0", "L1", "L2"});
  pScene->set_name("Demo");
  set_settings(pScene.get(), 1000);
  pScene->get_layer(1)->get_time_segment()->add_key(10);
  pScene->add_marker(300, "drop");
  pScene->add_marker(100, "intro");
  EXPECT_EQ(CHUNK_OK, m_rFile.save(pScene.get()));

  OwnedT<SceneC> pLoaded(SceneC::create_scene());
  ChunkReaderC rReader(&m_rRegistry);
  EXPECT_EQ(CHUNK_OK, load_scene(rReader, pLoaded.get()));
  EXPECT_EQ(0, rReader.get_error_count());
  EXPECT_STREQ("Demo", pLoaded->get_name());
  expect_settings(pLoaded.get(), 1000);
  EXPECT_EQ("L0L1L2", layer_names(pLoaded.get()));
  for (uint32_t ui32Index = 0; ui32Index < 3; ++ui32Index) {
    LayerC* pLayer = pLoaded->get_layer(ui32Index);
    ASSERT_EQ(1, pLayer->get_effect_count());
    EXPECT_EQ(static_cast<int32_t>(ui32Index), effect_value(pLayer, 0));
  }
  EXPECT_EQ(1, pLoaded->get_layer(1)->get_time_segment()->get_key_count());
  // Loading sorts the markers by position.
  ASSERT_EQ(2, pLoaded->get_marker_count());
  EXPECT_EQ(100, pLoaded->get_marker_position(0));
  EXPECT_STREQ("intro", pLoaded->get_marker_label(0));
  EXPECT_EQ(300, pLoaded->get_marker_position(1));
  EXPECT_STREQ("drop", pLoaded->get_marker_label(1));
}

TEST_F(SceneTest, TwoMarkersAtOnePositionLoadAsTheLaterOne) {
  OwnedT<SceneC> pScene(SceneC::create_scene());
  pScene->add_marker(100, "first");
  pScene->add_marker(200, "second");
  pScene->set_marker_position(1, 100);
  ASSERT_EQ(2, pScene->get_marker_count());
  EXPECT_EQ(CHUNK_OK, m_rFile.save(pScene.get()));

  OwnedT<SceneC> pLoaded(SceneC::create_scene());
  ChunkReaderC rReader(&m_rRegistry);
  EXPECT_EQ(CHUNK_OK, load_scene(rReader, pLoaded.get()));
  ASSERT_EQ(1, pLoaded->get_marker_count());
  EXPECT_EQ(100, pLoaded->get_marker_position(0));
  EXPECT_STREQ("second", pLoaded->get_marker_label(0));
}

TEST_F(SceneTest, KeepSettingsLoadsLayersAndMarkersOnly) {
  OwnedT<SceneC> pScene = make_scene({"A", "B"});
  pScene->set_name("Saved");
  set_settings(pScene.get(), 1000);
  pScene->add_marker(50, "m");
  EXPECT_EQ(CHUNK_OK, m_rFile.save(pScene.get()));

  OwnedT<SceneC> pLoaded(SceneC::create_scene());
  pLoaded->set_name("Kept");
  set_settings(pLoaded.get(), 2000);
  ChunkReaderC rReader(&m_rRegistry);
  EXPECT_EQ(CHUNK_OK, load_scene(rReader, pLoaded.get(), true));
  EXPECT_STREQ("Kept", pLoaded->get_name());
  expect_settings(pLoaded.get(), 2000);
  EXPECT_EQ("AB", layer_names(pLoaded.get()));
  ASSERT_EQ(1, pLoaded->get_marker_count());
  EXPECT_EQ(50, pLoaded->get_marker_position(0));
}

TEST_F(SceneTest, InvalidTimingFromDocumentIsNotTaken) {
  OwnedT<SceneC> pScene(SceneC::create_scene());
  set_settings(pScene.get(), 1000);
  pScene->set_beats_per_min(0);
  pScene->set_beat_units(-4);
  pScene->set_tick_division(0);
  EXPECT_EQ(CHUNK_OK, m_rFile.save(pScene.get()));

  OwnedT<SceneC> pLoaded(SceneC::create_scene());
  ChunkReaderC rReader(&m_rRegistry);
  EXPECT_EQ(CHUNK_OK, load_scene(rReader, pLoaded.get()));
  EXPECT_EQ(120, pLoaded->get_beats_per_min());
  EXPECT_EQ(4, pLoaded->get_beat_units());
  EXPECT_EQ(2, pLoaded->get_tick_division());
  EXPECT_EQ(1001, pLoaded->get_layout_width());
  EXPECT_EQ(1002, pLoaded->get_layout_height());
  EXPECT_EQ(1003, pLoaded->get_end_time());
  EXPECT_EQ(1006, pLoaded->get_beat_group());
  ASSERT_EQ(3, rReader.get_error_count());
  EXPECT_STREQ("Load Scene: invalid beats per minute 0; kept 120.", rReader.get_error_text(0));
  EXPECT_STREQ("Load Scene: invalid beat units -4; kept 4.", rReader.get_error_text(1));
  EXPECT_STREQ("Load Scene: invalid tick division 0; kept 2.", rReader.get_error_text(2));
}

TEST_F(SceneTest, DuplicateCopiesLayersButNotEndTimeOrLayout) {
  OwnedT<SceneC> pScene = make_scene({"X", "Y"});
  pScene->set_name("Orig");
  set_settings(pScene.get(), 1000);
  pScene->add_marker(7, "seven");

  OwnedT<SceneC> pCopy(static_cast<SceneC*>(pScene->duplicate()));
  EXPECT_EQ(4, TestEffectC::live_count());
  EXPECT_STREQ("Orig", pCopy->get_name());
  EXPECT_EQ(20480, pCopy->get_end_time());
  EXPECT_EQ(640, pCopy->get_layout_width());
  EXPECT_EQ(480, pCopy->get_layout_height());
  EXPECT_EQ(1004, pCopy->get_beats_per_min());
  EXPECT_EQ(1005, pCopy->get_beat_units());
  EXPECT_EQ(1006, pCopy->get_beat_group());
  EXPECT_EQ(1007, pCopy->get_tick_division());
  ASSERT_EQ(1, pCopy->get_marker_count());
  EXPECT_STREQ("seven", pCopy->get_marker_label(0));
  EXPECT_EQ("XY", layer_names(pCopy.get()));
  EXPECT_NE(pScene->get_layer(0), pCopy->get_layer(0));

  pCopy.reset();
  EXPECT_EQ(2, TestEffectC::live_count());
  EXPECT_EQ("XY", layer_names(pScene.get()));
}

TEST_F(SceneTest, RestoreCopySharesLayersAndReleasesNone) {
  OwnedT<SceneC> pScene = make_scene({"P", "Q"});
  pScene->set_end_time(99);
  EditableC* pCopy = pScene->make_restore_copy();
  SceneC* pRestore = static_cast<SceneC*>(pCopy);
  EXPECT_EQ(pScene.get(), pCopy->get_original());
  ASSERT_EQ(2, pRestore->get_layer_count());
  EXPECT_EQ(pScene->get_layer(1), pRestore->get_layer(1));
  EXPECT_EQ(20480, pRestore->get_end_time());
  pCopy->release();
  EXPECT_EQ(2, TestEffectC::live_count());
  EXPECT_EQ("PQ", layer_names(pScene.get()));
}

TEST_F(SceneTest, MoveLayer) {
  struct MoveS {
    int32_t m_i32From;
    int32_t m_i32To;
    const char* m_szExpected;
  };
  const MoveS rMoves[] = {{0, 2, "BAC"}, {2, 0, "CAB"}, {0, 9, "BCA"}, {1, 1, "ABC"},
                          {3, 0, "ABC"}, {-1, 0, "ABC"}, {2, -5, "CAB"}, {0, 3, "BCA"}};
  for (const MoveS& rMove : rMoves) {
    OwnedT<SceneC> pScene = make_scene({"A", "B", "C"});
    pScene->move_layer(rMove.m_i32From, rMove.m_i32To);
    EXPECT_EQ(rMove.m_szExpected, layer_names(pScene.get())) << rMove.m_i32From << " -> " << rMove.m_i32To;
  }
}

TEST_F(SceneTest, MarkerOperations) {
  OwnedT<SceneC> pScene(SceneC::create_scene());
  pScene->add_marker(30, "c");
  pScene->add_marker(10, "a");
  pScene->add_marker(30, "c2");
  ASSERT_EQ(2, pScene->get_marker_count());
  EXPECT_STREQ("c2", pScene->get_marker_label(1));

  EXPECT_EQ(0, pScene->get_marker_position(2));
  EXPECT_EQ(nullptr, pScene->get_marker_label(-1));
  pScene->set_marker_position(2, 5);
  pScene->delete_marker(2);
  EXPECT_EQ(2, pScene->get_marker_count());

  pScene->add_marker(20, "b");
  pScene->sort_markers();
  EXPECT_EQ(20, pScene->get_marker_position(1));
  pScene->delete_marker(0);
  EXPECT_STREQ("b", pScene->get_marker_label(0));
}

TEST_F(SceneTest, AddAndDeleteLayerUnderUndo) {
  OwnedT<SceneC> pScene = make_scene({"old"});
  RecordingUndoC* pUndo = RecordingUndoC::make();
  pScene->set_undo(pUndo);
  LayerC* pAdded = pScene->add_layer();
  EXPECT_EQ(pAdded, pScene->get_layer(0));
  LayerC* pOld = pScene->get_layer(1);
  pScene->delete_layer(1);
  ASSERT_EQ(2u, pUndo->m_rNotes.size());
  EXPECT_EQ(std::make_pair(static_cast<EditableC*>(pAdded), UNDO_CHILD_ADDED), pUndo->m_rNotes[0]);
  EXPECT_EQ(std::make_pair(static_cast<EditableC*>(pOld), UNDO_CHILD_REMOVED), pUndo->m_rNotes[1]);
  EXPECT_EQ(1, TestEffectC::live_count());
  pScene->set_undo(nullptr);
  pUndo->release();
  EXPECT_EQ(0, TestEffectC::live_count());

  // Without an undo object nobody else could release the layer.
  OwnedT<SceneC> pOther = make_scene({"a", "b"});
  pOther->delete_layer(0);
  EXPECT_EQ("b", layer_names(pOther.get()));
  EXPECT_EQ(1, TestEffectC::live_count());
}

TEST_F(SceneTest, MissingEffectClassCostsOnlyThatLayersRest) {
  OwnedT<SceneC> pScene = make_scene({"broken", "whole"});
  m_rFile.write([&](ChunkWriterC& rWriter) {
    rWriter.begin_chunk(0x2000, 1);
    pScene->get_layer(0)->save(&rWriter);
    write_effect_chunk(rWriter, ClassIdentC(0xDEAD0001, 0x00000002), "Ghost", nullptr);
    rWriter.end_chunk();
    rWriter.begin_chunk(0x2000, 1);
    pScene->get_layer(1)->save(&rWriter);
    rWriter.end_chunk();
  });

  OwnedT<SceneC> pLoaded(SceneC::create_scene());
  ChunkReaderC rReader(&m_rRegistry);
  EXPECT_EQ(CHUNK_OK, load_scene(rReader, pLoaded.get()));
  ASSERT_EQ(1, rReader.get_error_count());
  EXPECT_STREQ("Load Layer: Effect Ghost (0xdead0001, 0x00000002)cannot be created. Propably missing DLL.",
               rReader.get_error_text(0));
  EXPECT_EQ("brokenwhole", layer_names(pLoaded.get()));
  EXPECT_EQ(1, pLoaded->get_layer(0)->get_effect_count());
  EXPECT_EQ(1, pLoaded->get_layer(1)->get_effect_count());
}

TEST_F(SceneTest, InvalidLayerIndexIsAProgrammingError) {
  OwnedT<SceneC> pScene = make_scene({"only"});
  EXPECT_DEATH(pScene->get_layer(1), "ui32Index >= 0 && ui32Index < m_rLayers.size\\(\\)");
  EXPECT_DEATH(pScene->delete_layer(7), "ui32Index >= 0 && ui32Index < m_rLayers.size\\(\\)");
}

}  // namespace
