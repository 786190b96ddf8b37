#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "corelib/animkeyc.h"
#include "corelib/timesegmentc.h"
#include "docfile/chunkreaderc.h"
#include "tests/support/chunkbytes.h"
#include "tests/support/documentfilec.h"
#include "tests/support/recordingundoc.h"
#include "tests/support/testeffectc.h"

namespace {

BytesT key_record(uint8_t ui8Count, const std::vector<float>& rValues, int32_t i32Time, uint8_t ui8Flags,
                  const std::vector<float>& rSpline = {0.5f, 1.5f, 2.5f, 3.5f, 4.5f}) {
  BytesT rBytes{1, ui8Count};
  for (float f32Value : rValues) {
    rBytes = concat({rBytes, bytes_of(f32Value)});
  }
  rBytes = concat({rBytes, bytes_of(i32Time), bytes_of(ui8Flags)});
  for (float f32Param : rSpline) {
    rBytes = concat({rBytes, bytes_of(f32Param)});
  }
  return rBytes;
}

std::vector<int32_t> key_times(TimeSegmentC* pSegment) {
  std::vector<int32_t> rTimes;
  for (int32_t i32Index = 0; i32Index < pSegment->get_key_count(); ++i32Index) {
    rTimes.push_back(pSegment->get_key(i32Index)->get_time());
  }
  return rTimes;
}

TimeSegmentC* segment_with_keys(int32_t i32Start, const std::vector<int32_t>& rTimes) {
  TimeSegmentC* pSegment = TimeSegmentC::create_segment();
  pSegment->set_segment_start(i32Start);
  for (int32_t i32Time : rTimes) {
    pSegment->add_key(i32Start + i32Time);
  }
  return pSegment;
}

}  // namespace

TEST(TimeSegment, VisibleBetweenPairedKeysOnly) {
  TimeSegmentC* pPair = TimeSegmentC::create_segment(50, 150);
  EXPECT_EQ((std::vector<int32_t>{0, 100}), key_times(pPair));
  EXPECT_FALSE(pPair->is_visible(49));
  EXPECT_TRUE(pPair->is_visible(50));
  EXPECT_TRUE(pPair->is_visible(149));
  EXPECT_FALSE(pPair->is_visible(150));

  // An odd last key opens nothing; no keys, never visible.
  TimeSegmentC* pOdd = segment_with_keys(0, {0, 100, 300});
  EXPECT_TRUE(pOdd->is_visible(99));
  EXPECT_FALSE(pOdd->is_visible(100));
  EXPECT_FALSE(pOdd->is_visible(5000));
  TimeSegmentC* pEmpty = TimeSegmentC::create_segment();
  EXPECT_FALSE(pEmpty->is_visible(0));

  // Local time 4e9 lies after both keys; wrapped to 32 bits it would fall between them.
  TimeSegmentC* pFar = segment_with_keys(0, {-300000000, -100000000});
  pFar->set_segment_start(-2000000000);
  EXPECT_FALSE(pFar->is_visible(2000000000));
  EXPECT_TRUE(pFar->is_visible(INT32_MIN));

  for (TimeSegmentC* pSegment : {pPair, pOdd, pEmpty, pFar}) {
    pSegment->release();
  }
}

TEST(TimeSegment, KeysStaySortedAndAreFoundExactly) {
  TimeSegmentC* pSegment = segment_with_keys(50, {100, 200});
  AnimKeyC* pEarly = pSegment->add_key(40);
  EXPECT_EQ(pEarly, pSegment->get_key(0));
  EXPECT_EQ(-10, pEarly->get_time());
  EXPECT_EQ(40, pSegment->get_key_time(0));
  EXPECT_EQ(pEarly, pSegment->find_key(40));
  EXPECT_EQ(nullptr, pSegment->find_key(41));

  pSegment->set_key_time(0, 500);
  EXPECT_EQ((std::vector<int32_t>{100, 200, 450}), key_times(pSegment));
  EXPECT_EQ(pEarly, pSegment->get_key(2));

  // Equal times keep the order in which the keys came.
  AnimKeyC* pSecond = pSegment->add_key(250);
  EXPECT_EQ(pSecond, pSegment->get_key(2));
  EXPECT_EQ(pSegment->get_key(1), pSegment->find_key(250));

  // Without an undo object the segment releases the key itself (the leak check sees it).
  pSegment->delete_key(0);
  EXPECT_EQ((std::vector<int32_t>{200, 200, 450}), key_times(pSegment));

  // Far times stop at the ends of the range instead of wrapping round.
  pSegment->set_segment_start(2147483600);
  EXPECT_EQ(INT32_MIN, pSegment->add_key(-2000000000)->get_time());
  EXPECT_EQ(INT32_MAX, pSegment->get_key_time(3));
  pSegment->release();
}

TEST(TimeSegment, EditsAreNotedToTheUndoObject) {
  TimeSegmentC* pSegment = segment_with_keys(10, {0, 100});
  RecordingUndoC* pUndo = RecordingUndoC::make();
  pSegment->set_undo(pUndo);
  AnimKeyC* pAdded = pSegment->add_key(60);
  pSegment->set_key_time(1, 200);
  AnimKeyC* pRemoved = pSegment->get_key(0);
  pSegment->delete_key(0);

  using NoteT = std::pair<EditableC*, int32_t>;
  EXPECT_EQ((std::vector<NoteT>{{pAdded, UNDO_CHILD_ADDED}, {pRemoved, UNDO_CHILD_REMOVED}}), pUndo->m_rNotes);
  // set_key_time recorded the key as it was, then gave the key back its own undo.
  ASSERT_EQ(1u, pUndo->m_rRestoreCopies.size());
  AnimKeyC* pRecorded = static_cast<AnimKeyC*>(pUndo->m_rRestoreCopies[0]);
  EXPECT_EQ(pAdded, pRecorded->get_original());
  EXPECT_EQ(50, pRecorded->get_time());
  EXPECT_EQ(nullptr, pAdded->get_undo());
  EXPECT_EQ((std::vector<int32_t>{100, 190}), key_times(pSegment));
  pSegment->release();
  pUndo->release();
}

TEST(TimeSegment, DuplicatesOwnTheirKeysAndRestoreCopiesShareThem) {
  TimeSegmentC* pOriginal = segment_with_keys(30, {0, 100});
  TimeSegmentC* pDuplicate = static_cast<TimeSegmentC*>(pOriginal->duplicate());
  TimeSegmentC* pRestoreCopy = static_cast<TimeSegmentC*>(pOriginal->make_restore_copy());
  EXPECT_EQ(30, pDuplicate->get_segment_start());
  EXPECT_NE(pOriginal->get_key(0), pDuplicate->get_key(0));
  EXPECT_EQ(pOriginal->get_key(1), pRestoreCopy->get_key(1));

  pDuplicate->copy(pDuplicate);
  pRestoreCopy->release();
  pOriginal->release();
  EXPECT_EQ((std::vector<int32_t>{0, 100}), key_times(pDuplicate));
  pDuplicate->release();
}

TEST(TimeSegment, RoundTripsThroughADocument) {
  DocumentFileC rFile;
  TimeSegmentC* pSaved = segment_with_keys(-70, {300, 0, 100});
  EXPECT_EQ(CHUNK_OK, rFile.save(pSaved));
  BytesT rPayload = rFile.payload();
  BytesT rFirstKey = key_record(0, {}, 0, KEY_LINEAR, {0, 0, 0, 0, 0});
  EXPECT_EQ(concat({chunk(0x1000, 2, bytes_of<int32_t>(-70)), chunk(0x2000, 2, rFirstKey)}),
            BytesT(rPayload.begin(), rPayload.begin() + 16 + 39));

  TimeSegmentC* pLoaded = TimeSegmentC::create_segment();
  EXPECT_EQ(CHUNK_OK, rFile.load(pLoaded));
  EXPECT_EQ(-70, pLoaded->get_segment_start());
  EXPECT_EQ((std::vector<int32_t>{0, 100, 300}), key_times(pLoaded));
  pSaved->release();
  pLoaded->release();
}

TEST(TimeSegment, LoadsOlderAndUnknownChunks) {
  DocumentFileC rFile;
  rFile.write_payload(concat({chunk(0x1000, 1, concat({bytes_of<int32_t>(77), bytes_of<int32_t>(99)})),
                              chunk(0x1000, 3, bytes_of<int32_t>(55)), chunk(0x3000, 2, bytes_of<int32_t>(55)),
                              chunk(0x2000, 1, key_record(0, {}, 40, 2)), chunk(0x2000, 2, key_record(0, {}, 10, 2)),
                              chunk(0x2000, 3, key_record(0, {}, 20, 2))}));
  TimeSegmentC* pSegment = TimeSegmentC::create_segment();
  EXPECT_EQ(CHUNK_OK, rFile.load(pSegment));
  EXPECT_EQ(77, pSegment->get_segment_start());
  EXPECT_EQ((std::vector<int32_t>{10, 40}), key_times(pSegment));
  pSegment->release();

  // The first version holds two numbers: a file cut after the first is damaged.
  rFile.write_payload(chunk(0x1000, 1, bytes_of<int32_t>(55)));
  pSegment = TimeSegmentC::create_segment();
  EXPECT_EQ(CHUNK_DAMAGED, rFile.load(pSegment));
  EXPECT_EQ(55, pSegment->get_segment_start());
  pSegment->release();
}

TEST(AnimKey, RecordLayoutAndOwnCopies) {
  DocumentFileC rFile;
  AnimKeyC* pKey = AnimKeyC::create_key(2);
  const float rValues[2] = {1.0f, -2.0f};
  pKey->set_values(rValues);
  pKey->set_in_tangent(rValues);
  pKey->set_time(0x01020304);
  pKey->set_flags(0x105);
  pKey->set_ease_in(0.5f);
  pKey->set_ease_out(1.5f);
  pKey->set_tension(2.5f);
  pKey->set_continuity(3.5f);
  pKey->set_bias(4.5f);
  EXPECT_EQ(CHUNK_OK, rFile.save(pKey));
  EXPECT_EQ(key_record(2, {1.0f, -2.0f}, 0x01020304, 0x04), rFile.payload());

  AnimKeyC* pCopy = static_cast<AnimKeyC*>(pKey->duplicate());
  pKey->copy(pKey);
  pKey->release();
  float rCopied[2] = {};
  pCopy->get_in_tangent(rCopied);
  EXPECT_EQ(-2.0f, rCopied[1]);
  EXPECT_EQ(0x105u, pCopy->get_flags());
  pCopy->release();
  AnimKeyC* pLimited = AnimKeyC::create_key(7);
  EXPECT_EQ(KEY_MAX_VALUES, pLimited->get_value_count());
  pLimited->release();
}

TEST(AnimKey, RecordOfAnotherVersionOrCountLoadsSafely) {
  DocumentFileC rFile;
  rFile.write_payload(concat({chunk(0x2000, 2, BytesT{2, 0, 9, 9, 9, 9}),
                              chunk(0x2000, 2, key_record(2, {8.0f, 9.0f}, 60, 0x0C))}));
  TimeSegmentC* pSegment = TimeSegmentC::create_segment();
  EXPECT_EQ(CHUNK_OK, rFile.load(pSegment));
  ASSERT_EQ(2, pSegment->get_key_count());
  EXPECT_EQ(0, pSegment->get_key(0)->get_time());
  EXPECT_EQ(KEY_LINEAR, pSegment->get_key(0)->get_flags());
  // A trim key has no room for values: they are read past, and the fields after them line up.
  EXPECT_EQ(60, pSegment->get_key(1)->get_time());
  EXPECT_EQ(0x0Cu, pSegment->get_key(1)->get_flags());
  EXPECT_EQ(4.5f, pSegment->get_key(1)->get_bias());
  pSegment->release();

  AnimKeyC* pKey = AnimKeyC::create_key(2);
  rFile.write_payload(key_record(3, {1.0f, 2.0f, 3.0f}, 70, 0x02));
  EXPECT_EQ(CHUNK_OK, rFile.load(pKey));
  EXPECT_EQ(70, pKey->get_time());
  rFile.write_payload(key_record(1, {5.0f}, 80, 0x02));
  EXPECT_EQ(CHUNK_OK, rFile.load(pKey));
  float rValues[2] = {};
  pKey->get_values(rValues);
  EXPECT_EQ(5.0f, rValues[0]);
  EXPECT_EQ(2.0f, rValues[1]);
  EXPECT_EQ(0.5f, pKey->get_ease_in());

  rFile.write_payload(BytesT{1, 255, 0, 0});
  EXPECT_EQ(CHUNK_DAMAGED, rFile.load(pKey));
  pKey->release();
}

TEST(EffectBase, FlagsNameAndFamily) {
  TestEffectC* pEffect = TestEffectC::make();
  EXPECT_EQ(0x24, pEffect->get_flags());
  pEffect->set_flags(1);
  EXPECT_EQ(0x01, pEffect->get_flags());
  pEffect->set_flags(0x24);
  pEffect->add_flags(1);
  EXPECT_EQ(0x25, pEffect->get_flags());
  pEffect->set_flags(0x24);
  pEffect->toggle_flags(0x21);
  EXPECT_EQ(0x05, pEffect->get_flags());
  pEffect->set_flags(0x24);
  pEffect->remove_flags(4);
  EXPECT_EQ(0x20, pEffect->get_flags());

  EXPECT_EQ(0, pEffect->update_notify(1, 2, 3));
  EXPECT_EQ(0x20, pEffect->get_flags());
  EXPECT_EQ(0x01000000u, pEffect->get_super_class_ident().get_value());
  EXPECT_EQ(0, pEffect->get_time_segment()->get_key_count());
  pEffect->release();
}

TEST(EffectBase, RestoreCopiesShareTheSegmentAndDuplicatesOwnOne) {
  TestEffectC* pEffect = TestEffectC::make();
  pEffect->set_name("fade");
  pEffect->get_time_segment()->add_key(10);
  EffectBaseC* pRestoreCopy = static_cast<EffectBaseC*>(pEffect->make_restore_copy());
  EXPECT_EQ(pEffect->get_time_segment(), pRestoreCopy->get_time_segment());
  pRestoreCopy->release();

  EffectBaseC* pDuplicate = static_cast<EffectBaseC*>(pEffect->duplicate());
  EXPECT_NE(pEffect->get_time_segment()->get_key(0), pDuplicate->get_time_segment()->get_key(0));
  EXPECT_STREQ("fade", pDuplicate->get_name());
  pEffect->release();
  EXPECT_EQ(10, pDuplicate->get_time_segment()->get_key_time(0));
  pDuplicate->release();
}

TEST(EffectBase, RoundTripsThroughADocument) {
  DocumentFileC rFile;
  TestEffectC* pSaved = TestEffectC::make();
  pSaved->set_name(std::string(300, 'n').c_str());
  pSaved->set_flags(0x1234);
  pSaved->m_i32Value = 42;
  pSaved->get_time_segment()->set_segment_start(25);
  pSaved->get_time_segment()->add_key(25);
  pSaved->get_time_segment()->add_key(125);
  EXPECT_EQ(CHUNK_OK, rFile.save(pSaved));
  TestEffectC* pLoaded = TestEffectC::make();
  EXPECT_EQ(CHUNK_END, rFile.load(pLoaded));
  EXPECT_EQ(std::string(255, 'n'), pLoaded->get_name());
  EXPECT_EQ(0x1234, pLoaded->get_flags());
  EXPECT_EQ(42, pLoaded->m_i32Value);
  EXPECT_EQ(25, pLoaded->get_time_segment()->get_segment_start());
  EXPECT_EQ(125, pLoaded->get_time_segment()->get_key_time(1));

  // The base part reports nothing: a name cut short still loads, as far as it goes.
  rFile.write_payload(BytesT{10, 0, 'a', 'b', 'c'});
  ChunkReaderC rReader(nullptr);
  auto load_base = [&](ChunkReaderC* pReader) { return pLoaded->EffectBaseC::load(pReader); };
  EXPECT_EQ(CHUNK_OK, rFile.load_with(rReader, load_base));
  EXPECT_STREQ("abc", pLoaded->get_name());
  pSaved->release();
  pLoaded->release();
}
