#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "corelib/layerc.h"
#include "corelib/ownedobject.h"
#include "corelib/timesegmentc.h"
#include "docfile/chunkreaderc.h"
#include "docfile/chunkwriterc.h"
#include "registry/classregistryc.h"
#include "tests/support/effectdocumenttestc.h"
#include "tests/support/recordingundoc.h"
#include "tests/support/testeffectc.h"

namespace {

const ClassIdentC GHOST_CLASS(0x12345678, 0x9ABCDEF0);

class LayerTest : public EffectDocumentTestC {};

TEST_F(LayerTest, RoundTripKeepsNameFlagsSegmentAndEffectOrder) {
  OwnedT<LayerC> pLayer(LayerC::create_layer());
  pLayer->set_name("Intro");
  pLayer->set_flags(0x80000035u);
  pLayer->get_time_segment()->set_segment_start(100);
  pLayer->get_time_segment()->add_key(150);
  pLayer->get_time_segment()->add_key(400);
  for (int32_t i32Value : {1, 2, 3}) {
    pLayer->insert_effect(pLayer->get_effect_count(), TestEffectC::make(i32Value));
  }
  pLayer->get_effect(1)->set_name("middle");
  EXPECT_EQ(CHUNK_OK, m_rFile.save(pLayer.get()));

  OwnedT<LayerC> pLoaded(LayerC::create_layer());
  ChunkReaderC rReader(&m_rRegistry);
  EXPECT_EQ(CHUNK_OK, m_rFile.load(rReader, pLoaded.get()));
  EXPECT_EQ(0, rReader.get_error_count());
  EXPECT_STREQ("Intro", pLoaded->get_name());
  EXPECT_EQ(0x80000035u, pLoaded->get_flags());
  TimeSegmentC* pSegment = pLoaded->get_time_segment();
  EXPECT_EQ(100, pSegment->get_segment_start());
  ASSERT_EQ(2, pSegment->get_key_count());
  EXPECT_EQ(150, pSegment->get_key_time(0));
  EXPECT_EQ(400, pSegment->get_key_time(1));
  ASSERT_EQ(3, pLoaded->get_effect_count());
  EXPECT_EQ(1, effect_value(pLoaded.get(), 0));
  EXPECT_EQ(2, effect_value(pLoaded.get(), 1));
  EXPECT_EQ(3, effect_value(pLoaded.get(), 2));
  EXPECT_STREQ("middle", pLoaded->get_effect(1)->get_name());
}

TEST_F(LayerTest, LongNameIsSavedAsItsFirst255Characters) {
  OwnedT<LayerC> pLayer(LayerC::create_layer());
  std::string sName(300, 'x');
  sName.replace(250, 10, "0123456789");
  pLayer->set_name(sName.c_str());
  EXPECT_EQ(CHUNK_OK, m_rFile.save(pLayer.get()));

  // Signature, document chunk header, layer chunk header, then the length.
  std::vector<uint8_t> rBytes = m_rFile.read_bytes();
  ASSERT_GT(rBytes.size(), 40u);
  EXPECT_EQ(255, rBytes[38] | (rBytes[39] << 8));

  OwnedT<LayerC> pLoaded(LayerC::create_layer());
  ChunkReaderC rReader(&m_rRegistry);
  EXPECT_EQ(CHUNK_OK, m_rFile.load(rReader, pLoaded.get()));
  EXPECT_EQ(sName.substr(0, 255), pLoaded->get_name());
}

TEST_F(LayerTest, EffectListOperations) {
  OwnedT<LayerC> pLayer(LayerC::create_layer());
  pLayer->add_effect(TestEffectC::make(2));
  pLayer->add_effect(TestEffectC::make(1));
  ASSERT_EQ(2, pLayer->get_effect_count());
  EXPECT_EQ(1, effect_value(pLayer.get(), 0));

  pLayer->delete_effect(-1);
  pLayer->delete_effect(2);
  EXPECT_EQ(2, pLayer->get_effect_count());
  EXPECT_EQ(2, TestEffectC::live_count());

  pLayer->insert_effect(pLayer->get_effect_count() + 5, TestEffectC::make(3));
  pLayer->insert_effect(-3, TestEffectC::make(0));
  pLayer->insert_effect(2, TestEffectC::make(9));
  const int32_t rExpected[] = {0, 1, 9, 2, 3};
  ASSERT_EQ(5, pLayer->get_effect_count());
  for (int32_t i32Index = 0; i32Index < 5; ++i32Index) {
    EXPECT_EQ(rExpected[i32Index], effect_value(pLayer.get(), i32Index));
  }

  EXPECT_EQ(nullptr, pLayer->remove_effect(5));
  EXPECT_EQ(nullptr, pLayer->remove_effect(-1));
  OwnedT<EffectBaseC> pRemoved(pLayer->remove_effect(2));
  ASSERT_NE(nullptr, pRemoved);
  EXPECT_EQ(9, static_cast<TestEffectC*>(pRemoved.get())->m_i32Value);
  EXPECT_EQ(4, pLayer->get_effect_count());

  // Nobody else holds a deleted effect when no undo object is set.
  pLayer->delete_effect(0);
  EXPECT_EQ(3, pLayer->get_effect_count());
  EXPECT_EQ(4, TestEffectC::live_count());
}

TEST_F(LayerTest, UndoObjectIsToldOfAddedAndDeletedEffectsOnly) {
  OwnedT<LayerC> pLayer(LayerC::create_layer());
  RecordingUndoC* pUndo = RecordingUndoC::make();
  pLayer->set_undo(pUndo);
  TestEffectC* pAdded = TestEffectC::make(1);
  pLayer->add_effect(pAdded);
  pLayer->insert_effect(1, TestEffectC::make(2));
  OwnedT<EffectBaseC> pRemoved(pLayer->remove_effect(1));
  pLayer->delete_effect(0);
  ASSERT_EQ(2u, pUndo->m_rNotes.size());
  EXPECT_EQ(std::make_pair(static_cast<EditableC*>(pAdded), UNDO_CHILD_ADDED), pUndo->m_rNotes[0]);
  EXPECT_EQ(std::make_pair(static_cast<EditableC*>(pAdded), UNDO_CHILD_REMOVED), pUndo->m_rNotes[1]);
  // The undo object owns the deleted effect now.
  EXPECT_EQ(2, TestEffectC::live_count());
  pLayer->set_undo(nullptr);
  pUndo->release();
  EXPECT_EQ(1, TestEffectC::live_count());
}

TEST_F(LayerTest, DuplicateHasItsOwnSegmentAndEffects) {
  OwnedT<LayerC> pLayer(LayerC::create_layer());
  pLayer->set_name("Source");
  pLayer->set_flags(0x7);
  pLayer->get_time_segment()->set_segment_start(64);
  pLayer->get_time_segment()->add_key(64);
  pLayer->add_effect(TestEffectC::make(2));
  pLayer->add_effect(TestEffectC::make(1));

  OwnedT<LayerC> pCopy(static_cast<LayerC*>(pLayer->duplicate()));
  EXPECT_EQ(4, TestEffectC::live_count());
  EXPECT_STREQ("Source", pCopy->get_name());
  EXPECT_EQ(0x7u, pCopy->get_flags());
  EXPECT_NE(pLayer->get_time_segment(), pCopy->get_time_segment());
  EXPECT_EQ(64, pCopy->get_time_segment()->get_segment_start());
  EXPECT_EQ(1, pCopy->get_time_segment()->get_key_count());
  ASSERT_EQ(2, pCopy->get_effect_count());
  for (int32_t i32Index = 0; i32Index < 2; ++i32Index) {
    EXPECT_NE(pLayer->get_effect(i32Index), pCopy->get_effect(i32Index));
    EXPECT_EQ(effect_value(pLayer.get(), i32Index), effect_value(pCopy.get(), i32Index));
  }

  // Copying over a layer with effects releases them first.
  pCopy->copy(pLayer.get());
  EXPECT_EQ(4, TestEffectC::live_count());
  pCopy.reset();
  EXPECT_EQ(2, TestEffectC::live_count());
  EXPECT_EQ(1, effect_value(pLayer.get(), 0));
  EXPECT_EQ(1, pLayer->get_time_segment()->get_key_count());
}

TEST_F(LayerTest, RestoreCopySharesChildrenAndReleasesNone) {
  OwnedT<LayerC> pLayer(LayerC::create_layer());
  pLayer->set_name("Live");
  pLayer->add_effect(TestEffectC::make(5));
  EditableC* pCopy = pLayer->make_restore_copy();
  LayerC* pRestore = static_cast<LayerC*>(pCopy);
  EXPECT_EQ(pLayer.get(), pCopy->get_original());
  EXPECT_STREQ("Live", pRestore->get_name());
  EXPECT_EQ(pLayer->get_time_segment(), pRestore->get_time_segment());
  ASSERT_EQ(1, pRestore->get_effect_count());
  EXPECT_EQ(pLayer->get_effect(0), pRestore->get_effect(0));
  pCopy->release();
  EXPECT_EQ(1, TestEffectC::live_count());
  EXPECT_EQ(5, effect_value(pLayer.get(), 0));
  EXPECT_EQ(0, pLayer->get_time_segment()->get_key_count());
}

TEST_F(LayerTest, MissingEffectClassIsReportedAndEarlierEffectsStay) {
  OwnedT<LayerC> pLayer(LayerC::create_layer());
  pLayer->set_name("Partly");
  pLayer->add_effect(TestEffectC::make(1));
  OwnedT<TestEffectC> pAfter(TestEffectC::make(7));
  m_rFile.write([&](ChunkWriterC& rWriter) {
    pLayer->save(&rWriter);
    write_effect_chunk(rWriter, GHOST_CLASS, "Ghost", nullptr);
    write_effect_chunk(rWriter, TestEffectC::class_ident(), "Test Effect", pAfter.get());
  });

  OwnedT<LayerC> pLoaded(LayerC::create_layer());
  ChunkReaderC rReader(&m_rRegistry);
  EXPECT_EQ(CHUNK_DAMAGED, m_rFile.load(rReader, pLoaded.get()));
  ASSERT_EQ(1, rReader.get_error_count());
  EXPECT_STREQ("Load Layer: Effect Ghost (0x12345678, 0x9abcdef0)cannot be created. Propably missing DLL.",
               rReader.get_error_text(0));
  EXPECT_STREQ("Partly", pLoaded->get_name());
  ASSERT_EQ(1, pLoaded->get_effect_count());
  EXPECT_EQ(1, effect_value(pLoaded.get(), 0));
  // The failure is the layer's alone: the reader is not left damaged.
  EXPECT_NE(CHUNK_DAMAGED, rReader.get_error());
}

TEST_F(LayerTest, WithoutRegistryNoEffectCanBeCreated) {
  OwnedT<LayerC> pLayer(LayerC::create_layer());
  pLayer->add_effect(TestEffectC::make(1));
  EXPECT_EQ(CHUNK_OK, m_rFile.save(pLayer.get()));

  OwnedT<LayerC> pLoaded(LayerC::create_layer());
  ChunkReaderC rReader(nullptr);
  EXPECT_EQ(CHUNK_DAMAGED, m_rFile.load(rReader, pLoaded.get()));
  ASSERT_EQ(1, rReader.get_error_count());
  EXPECT_STREQ("Load Layer: Effect Test Effect (0x7e57effc, 0x00000001)cannot be created. Propably missing DLL.",
               rReader.get_error_text(0));
  EXPECT_EQ(0, pLoaded->get_effect_count());
}

// A class registered under the test effect's identifier that is not an
// effect class.
class ImportableKindDescC : public TestEffectDescC {
 public:
  int32_t get_class_kind() override { return PluginClass::CLASS_KIND_IMPORTABLE; }
};

// An effect class whose objects are not effects.
class NotAnEffectDescC : public TestEffectDescC {
 public:
  DataObjectC* make_object() override { return TimeSegmentC::create_segment(); }
};

TEST_F(LayerTest, ClassThatIsNotAnEffectCountsAsMissing) {
  OwnedT<LayerC> pLayer(LayerC::create_layer());
  pLayer->add_effect(TestEffectC::make(1));
  EXPECT_EQ(CHUNK_OK, m_rFile.save(pLayer.get()));
  const char* szExpected =
      "Load Layer: Effect Test Effect (0x7e57effc, 0x00000001)cannot be created. Propably missing DLL.";

  ImportableKindDescC rImportableKind;
  NotAnEffectDescC rNotAnEffect;
  for (PluginClass::ClassDescC* pDesc : {static_cast<PluginClass::ClassDescC*>(&rImportableKind),
                                         static_cast<PluginClass::ClassDescC*>(&rNotAnEffect)}) {
    ClassRegistryC rRegistry;
    rRegistry.register_internal(pDesc);
    OwnedT<LayerC> pLoaded(LayerC::create_layer());
    ChunkReaderC rReader(&rRegistry);
    EXPECT_EQ(CHUNK_DAMAGED, m_rFile.load(rReader, pLoaded.get()));
    ASSERT_EQ(1, rReader.get_error_count());
    EXPECT_STREQ(szExpected, rReader.get_error_text(0));
    EXPECT_EQ(0, pLoaded->get_effect_count());
    EXPECT_EQ(1, TestEffectC::live_count());
  }
}

TEST_F(LayerTest, UnknownChunksAndVersionsAreSkipped) {
  OwnedT<TestEffectC> pBody(TestEffectC::make(4));
  m_rFile.write([&](ChunkWriterC& rWriter) {
    rWriter.begin_chunk(0x1000, 2);
    rWriter.write_str("wrong version");
    rWriter.end_chunk();
    rWriter.begin_chunk(0x7777, 1);
    rWriter.write_str("unknown");
    rWriter.end_chunk();
    rWriter.begin_chunk(0x2000, 3);
    rWriter.end_chunk();
    write_effect_chunk(rWriter, TestEffectC::class_ident(), "Test Effect", pBody.get());
  });
  OwnedT<LayerC> pLoaded(LayerC::create_layer());
  ChunkReaderC rReader(&m_rRegistry);
  EXPECT_EQ(CHUNK_OK, m_rFile.load(rReader, pLoaded.get()));
  EXPECT_STREQ("", pLoaded->get_name());
  ASSERT_EQ(1, pLoaded->get_effect_count());
  EXPECT_EQ(4, effect_value(pLoaded.get(), 0));
}

TEST_F(LayerTest, InvalidEffectIndexIsAProgrammingError) {
  OwnedT<LayerC> pLayer(LayerC::create_layer());
  pLayer->add_effect(TestEffectC::make(1));
  EXPECT_DEATH(pLayer->get_effect(1), "i32Index >= 0 && i32Index < m_rEffects.size\\(\\)");
  EXPECT_DEATH(pLayer->get_effect(-1), "i32Index >= 0 && i32Index < m_rEffects.size\\(\\)");
}

}  // namespace
