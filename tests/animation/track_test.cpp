#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "corelib/animkeyc.h"
#include "corelib/animtrackc.h"
#include "corelib/ownedobject.h"
#include "corelib/rgbacolorc.h"
#include "docfile/chunkreaderc.h"
#include "tests/support/chunkbytes.h"
#include "tests/support/documentfilec.h"
#include "tests/support/recordingundoc.h"

namespace {

using FloatsT = std::vector<float>;
using NoteT = std::pair<EditableC*, int32_t>;

struct KeyS {
  int32_t i32Time;
  FloatsT rValues;
  uint32_t ui32Flags;
};

OwnedT<AnimTrackC> track_with(int32_t i32Type, const std::vector<KeyS>& rKeys,
                              int32_t i32BeforeMode = TRACK_MODE_CONSTANT, int32_t i32AfterMode = TRACK_MODE_CONSTANT) {
  OwnedT<AnimTrackC> pTrack(AnimTrackC::create_track(i32Type));
  for (const KeyS& rKey : rKeys) {
    AnimKeyC* pKey = pTrack->add_key(rKey.i32Time);
    pKey->set_values(rKey.rValues.data());
    pKey->set_flags(rKey.ui32Flags);
  }
  pTrack->set_before_mode(i32BeforeMode);
  pTrack->set_after_mode(i32AfterMode);
  pTrack->prepare();
  return pTrack;
}

// Linear keys 0 → 0 and 100 → 10: inside the range the value is a tenth of the time.
OwnedT<AnimTrackC> ramp(int32_t i32BeforeMode, int32_t i32AfterMode, int32_t i32Type = TRACK_TYPE_FLOAT) {
  return track_with(i32Type, {{0, {0.0f}, KEY_LINEAR}, {100, {10.0f}, KEY_LINEAR}}, i32BeforeMode, i32AfterMode);
}

float float_at(const OwnedT<AnimTrackC>& pTrack, int32_t i32Time) {
  float f32Value = -99.0f;
  pTrack->get_float(&f32Value, i32Time);
  return f32Value;
}

int32_t int_at(const OwnedT<AnimTrackC>& pTrack, int32_t i32Time) {
  int32_t i32Value = -99;
  pTrack->get_int(&i32Value, i32Time);
  return i32Value;
}

// Time, flags, the values, then ease in, ease out, tension, continuity, bias.
FloatsT fields_of(AnimKeyC* pKey) {
  FloatsT rFields(static_cast<size_t>(2 + pKey->get_value_count()));
  rFields[0] = static_cast<float>(pKey->get_time());
  rFields[1] = static_cast<float>(pKey->get_flags());
  pKey->get_values(rFields.data() + 2);
  for (float f32Field : {pKey->get_ease_in(), pKey->get_ease_out(), pKey->get_tension(), pKey->get_continuity(),
                         pKey->get_bias()}) {
    rFields.push_back(f32Field);
  }
  return rFields;
}

void set_spline(AnimKeyC* pKey, const FloatsT& rSpline) {
  pKey->set_ease_in(rSpline[0]);
  pKey->set_ease_out(rSpline[1]);
  pKey->set_tension(rSpline[2]);
  pKey->set_continuity(rSpline[3]);
  pKey->set_bias(rSpline[4]);
}

BytesT key_record(const FloatsT& rValues, int32_t i32Time, uint8_t ui8Flags,
                  const FloatsT& rSpline = {0.5f, 1.5f, 2.5f, 3.5f, 4.5f}) {
  BytesT rBytes{1, static_cast<uint8_t>(rValues.size())};
  for (float f32Value : rValues) {
    rBytes = concat({rBytes, bytes_of(f32Value)});
  }
  rBytes = concat({rBytes, bytes_of(i32Time), bytes_of(ui8Flags)});
  for (float f32Value : rSpline) {
    rBytes = concat({rBytes, bytes_of(f32Value)});
  }
  return rBytes;
}

BytesT settings(uint8_t ui8Count, uint8_t ui8Type) { return chunk(0x1000, 1, {ui8Count, ui8Type, 1, 1}); }

OwnedT<AnimTrackC> load_track(const BytesT& rPayload, int32_t i32Result = CHUNK_OK) {
  DocumentFileC rFile;
  rFile.write_payload(rPayload);
  OwnedT<AnimTrackC> pTrack(AnimTrackC::create_track(TRACK_TYPE_NONE));
  EXPECT_EQ(i32Result, rFile.load(pTrack.get()));
  return pTrack;
}

}  // namespace

TEST(TrackValue, EmptyAndSingleKeyTracks) {
  OwnedT<AnimTrackC> pEmpty(AnimTrackC::create_track(TRACK_TYPE_COLOR));
  float rOut[5] = {7, 7, 7, 7, 7};
  pEmpty->get_value(rOut, 30);
  EXPECT_EQ((FloatsT{0, 0, 0, 0, 7}), FloatsT(rOut, rOut + 5));

  OwnedT<AnimTrackC> pOne = track_with(TRACK_TYPE_COLOR, {{50, {1, 2, 3, 4}, KEY_SMOOTH}}, 2, 3);
  for (int32_t i32Time : {INT32_MIN, 49, 50, 51, INT32_MAX}) {
    RgbaColorC rColor;
    pOne->get_color(&rColor, i32Time);
    EXPECT_EQ((FloatsT{1, 2, 3, 4}), (FloatsT{rColor.m_f32R, rColor.m_f32G, rColor.m_f32B, rColor.m_f32A})) << i32Time;
  }
}

TEST(TrackValue, ExtremesAndEndTimesCoverEveryComponent) {
  OwnedT<AnimTrackC> pEmpty(AnimTrackC::create_track(TRACK_TYPE_VECTOR2));
  EXPECT_EQ(0.0f, pEmpty->get_min_value());
  EXPECT_EQ(0, pEmpty->get_last_key_time());
  OwnedT<AnimTrackC> pTrack =
      track_with(TRACK_TYPE_VECTOR2, {{-5, {3, 9}, KEY_SMOOTH}, {40, {-2, 1}, KEY_SMOOTH}, {80, {4, 0}, KEY_SMOOTH}});
  EXPECT_EQ(-2.0f, pTrack->get_min_value());
  EXPECT_EQ(9.0f, pTrack->get_max_value());
  EXPECT_EQ(-5, pTrack->get_first_key_time());
  EXPECT_EQ(80, pTrack->get_last_key_time());
}

TEST(TrackValue, OutOfRangeModes) {
  OwnedT<AnimTrackC> pConstant = ramp(TRACK_MODE_CONSTANT, 7);  // unknown codes act as constant
  EXPECT_FLOAT_EQ(4.0f, float_at(pConstant, 40));
  EXPECT_EQ(0.0f, float_at(pConstant, -50));
  EXPECT_EQ(10.0f, float_at(pConstant, 100));
  EXPECT_EQ(10.0f, float_at(pConstant, 500));

  for (int32_t i32Mode : {TRACK_MODE_REPEAT, TRACK_MODE_LOOP}) {
    OwnedT<AnimTrackC> pWrapping = ramp(i32Mode, i32Mode);
    EXPECT_FLOAT_EQ(5.0f, float_at(pWrapping, 150));
    EXPECT_EQ(0.0f, float_at(pWrapping, 200));
    EXPECT_FLOAT_EQ(7.0f, float_at(pWrapping, -30));
    EXPECT_FLOAT_EQ(7.0f, float_at(pWrapping, -230));
    EXPECT_EQ(10.0f, float_at(pWrapping, -100));
  }

  // First and last key at one time leave nothing to wrap into: constant.
  OwnedT<AnimTrackC> pPoint = track_with(TRACK_TYPE_FLOAT, {{50, {1}, KEY_LINEAR}, {50, {2}, KEY_LINEAR}}, 2, 3);
  EXPECT_EQ(1.0f, float_at(pPoint, 0));
  EXPECT_EQ(2.0f, float_at(pPoint, 50));
  EXPECT_EQ(2.0f, float_at(pPoint, 80));
}

TEST(TrackValue, FarTimesWrapWithoutOverflow) {
  // u = 2^31 / (2^32 - 1) at time 0.
  OwnedT<AnimTrackC> pWide =
      track_with(TRACK_TYPE_FLOAT, {{INT32_MIN, {0}, KEY_LINEAR}, {INT32_MAX, {10}, KEY_LINEAR}}, 2, 2);
  EXPECT_NEAR(5.0f, float_at(pWide, 0), 1e-4f);
  EXPECT_EQ(0.0f, float_at(pWide, INT32_MAX));  // one whole cycle after the first key

  // Range 4e9: INT32_MIN wraps to 2e9 - 147483648, INT32_MAX to -2e9 + 147483647.
  OwnedT<AnimTrackC> pFar =
      track_with(TRACK_TYPE_FLOAT, {{-2000000000, {0}, KEY_LINEAR}, {2000000000, {40}, KEY_LINEAR}}, 2, 2);
  EXPECT_NEAR(40.0 * 3852516352.0 / 4e9, float_at(pFar, INT32_MIN), 1e-4);
  EXPECT_NEAR(40.0 * 147483647.0 / 4e9, float_at(pFar, INT32_MAX), 1e-4);
}

TEST(TrackValue, HoldKeysAndIntegers) {
  OwnedT<AnimTrackC> pTrack =
      track_with(TRACK_TYPE_FLOAT, {{0, {0}, KEY_HOLD}, {100, {10}, KEY_LINEAR}, {200, {20}, KEY_LINEAR}});
  EXPECT_EQ(0.0f, float_at(pTrack, 99));
  // At an interior key the segment starting there applies, not the hold before it.
  EXPECT_EQ(10.0f, float_at(pTrack, 100));
  EXPECT_FLOAT_EQ(15.0f, float_at(pTrack, 150));

  OwnedT<AnimTrackC> pInt = track_with(TRACK_TYPE_INT, {{0, {0}, KEY_HOLD}});
  const std::vector<std::pair<float, int32_t>> rCases = {
      {-2.7f, -2}, {2.7f, 2}, {std::numeric_limits<float>::quiet_NaN(), 0}, {3e9f, INT32_MAX}, {-3e9f, INT32_MIN}};
  for (const auto& rCase : rCases) {
    pInt->get_key(0)->set_values(&rCase.first);
    EXPECT_EQ(rCase.second, int_at(pInt, 10)) << rCase.first;
  }
}

TEST(TrackKeys, AddKeyKeepsTheCurveAndPicksTheKind) {
  OwnedT<AnimTrackC> pFloat = ramp(TRACK_MODE_CONSTANT, TRACK_MODE_CONSTANT);
  RecordingUndoC* pUndo = RecordingUndoC::make();
  pFloat->set_undo(pUndo);
  AnimKeyC* pSmooth = pFloat->add_key(30);
  EXPECT_EQ(pSmooth, pFloat->get_key(1));
  EXPECT_EQ((FloatsT{30, KEY_SMOOTH, 3, 0, 0, 0, 0, 0}), fields_of(pSmooth));
  EXPECT_FLOAT_EQ(3.0f, float_at(pFloat, 30));
  EXPECT_EQ((std::vector<NoteT>{{pSmooth, UNDO_CHILD_ADDED}}), pUndo->m_rNotes);
  // prepare() recorded all three keys before their tangents changed.
  EXPECT_EQ(3u, pUndo->m_rRestoreCopies.size());

  OwnedT<AnimTrackC> pInt = ramp(TRACK_MODE_CONSTANT, TRACK_MODE_CONSTANT, TRACK_TYPE_INT);
  AnimKeyC* pHold = pInt->add_key(25);
  EXPECT_EQ((FloatsT{25, KEY_HOLD, 2.5f, 0, 0, 0, 0, 0}), fields_of(pHold));
  EXPECT_EQ(2, int_at(pInt, 25));
  EXPECT_EQ(2, int_at(pInt, 99));
  pFloat.reset();
  pUndo->release();
}

TEST(TrackKeys, RemoveKeyReleasesOrHandsOverToTheUndo) {
  OwnedT<AnimTrackC> pTrack =
      track_with(TRACK_TYPE_FLOAT, {{0, {0}, KEY_LINEAR}, {100, {1}, KEY_LINEAR}, {200, {2}, KEY_LINEAR}});
  // Without an undo object the key is released (the leak check sees it).
  EXPECT_EQ(nullptr, pTrack->remove_key(1));
  EXPECT_EQ(nullptr, pTrack->remove_key(2));
  EXPECT_EQ(nullptr, pTrack->remove_key(-1));
  ASSERT_EQ(2, pTrack->get_key_count());
  EXPECT_EQ(200, pTrack->get_key(1)->get_time());

  RecordingUndoC* pUndo = RecordingUndoC::make();
  pTrack->set_undo(pUndo);
  AnimKeyC* pFirst = pTrack->get_key(0);
  EXPECT_EQ(pFirst, pTrack->remove_key(0));
  EXPECT_EQ(nullptr, pTrack->remove_key(1));
  EXPECT_EQ((std::vector<NoteT>{{pFirst, UNDO_CHILD_REMOVED}}), pUndo->m_rNotes);
  EXPECT_EQ(1, pTrack->get_key_count());
  pTrack.reset();
  pUndo->release();
}

TEST(TrackKeys, SortIsStableAndFindTakesTheFirst) {
  // Enough keys that an unstable sort would mix up equal times; each key's value is its place before sorting.
  OwnedT<AnimTrackC> pTrack(AnimTrackC::create_track(TRACK_TYPE_FLOAT));
  for (int32_t i = 0; i < 40; ++i) {
    pTrack->add_key(i);
  }
  for (int32_t i = 0; i < 40; ++i) {
    const float f32Place = static_cast<float>(i);
    pTrack->get_key(i)->set_values(&f32Place);
    pTrack->get_key(i)->set_time(i % 3 * 10);
  }
  pTrack->sort_keys();
  for (int32_t i = 1; i < 40; ++i) {
    FloatsT rBefore = fields_of(pTrack->get_key(i - 1));
    FloatsT rAfter = fields_of(pTrack->get_key(i));
    EXPECT_TRUE(rBefore[0] < rAfter[0] || (rBefore[0] == rAfter[0] && rBefore[2] < rAfter[2])) << i;
  }
  EXPECT_EQ(1.0f, fields_of(pTrack->find_key(10))[2]);
  EXPECT_EQ(nullptr, pTrack->find_key(5));
}

TEST(TrackDocument, RoundTripKeepsKeysModesAndType) {
  const FloatsT rSplineA = {0.125f, 0.25f, 0.1f, 0.2f, 0.3f};
  const FloatsT rSplineB = {0.5f, 0.75f, 0.5f, -0.25f, 0.625f};
  OwnedT<AnimTrackC> pSaved =
      track_with(TRACK_TYPE_VECTOR2, {{100, {1, 2}, KEY_SMOOTH | KEY_EDITOR_STATE}, {-20, {3, 4}, KEY_LINEAR}}, 3, 2);
  set_spline(pSaved->get_key(0), rSplineA);
  set_spline(pSaved->get_key(1), rSplineB);
  DocumentFileC rFile;
  EXPECT_EQ(CHUNK_OK, rFile.save(pSaved.get()));
  EXPECT_EQ(concat({chunk(0x1000, 1, {2, 3, 3, 2}), chunk(0x2000, 1, key_record({3, 4}, -20, 0x2, rSplineA)),
                    chunk(0x2000, 1, key_record({1, 2}, 100, 0x4, rSplineB))}),
            rFile.payload());

  OwnedT<AnimTrackC> pLoaded(AnimTrackC::create_track(TRACK_TYPE_NONE));
  ASSERT_EQ(CHUNK_OK, rFile.load(pLoaded.get()));
  EXPECT_EQ((std::vector<int32_t>{TRACK_TYPE_VECTOR2, 2, 3, 2}),
            (std::vector<int32_t>{pLoaded->get_type(), pLoaded->get_value_count(), pLoaded->get_before_mode(),
                                  pLoaded->get_after_mode()}));
  ASSERT_EQ(2, pLoaded->get_key_count());
  EXPECT_EQ((FloatsT{-20, KEY_LINEAR, 3, 4, 0.125f, 0.25f, 0.1f, 0.2f, 0.3f}), fields_of(pLoaded->get_key(0)));
  EXPECT_EQ((FloatsT{100, KEY_SMOOTH, 1, 2, 0.5f, 0.75f, 0.5f, -0.25f, 0.625f}), fields_of(pLoaded->get_key(1)));
  // load ended with prepare(): start rule 0.45 · (3 · -2 - 0) on A, then end rule 0.25 · (3 · -2 + 2.7) on B.
  float rTangent[2] = {0, 0};
  pLoaded->get_key(0)->get_out_tangent(rTangent);
  EXPECT_NEAR(-2.7f, rTangent[1], 1e-5f);
  pLoaded->get_key(1)->get_in_tangent(rTangent);
  EXPECT_NEAR(-0.825f, rTangent[0], 1e-5f);
}

TEST(TrackDocument, OddRecordsLoadAsFarAsTheyFit) {
  // A version-2 key record is a default key; a key chunk of another version is skipped.
  OwnedT<AnimTrackC> pTrack =
      load_track(concat({settings(1, TRACK_TYPE_FLOAT), chunk(0x2000, 1, {2, 1, 0, 0, 0x80, 0x3f}),
                         chunk(0x2000, 2, key_record({9}, 70, 0x2)), chunk(0x2000, 1, key_record({7}, 50, 0x8))}));
  ASSERT_EQ(2, pTrack->get_key_count());
  EXPECT_EQ((FloatsT{0, KEY_LINEAR, 0, 0, 0, 0, 0, 0}), fields_of(pTrack->get_key(0)));
  EXPECT_EQ((FloatsT{50, KEY_HOLD, 7, 0.5f, 1.5f, 2.5f, 3.5f, 4.5f}), fields_of(pTrack->get_key(1)));

  // Stored counts other than the track's: what fits is kept, the fields after line up.
  pTrack = load_track(concat({settings(2, TRACK_TYPE_VECTOR2), chunk(0x2000, 1, key_record({5}, 20, 0x2)),
                              chunk(0x2000, 1, key_record({7, 8, 9}, 10, 0x8))}));
  ASSERT_EQ(2, pTrack->get_key_count());
  EXPECT_EQ((FloatsT{10, KEY_HOLD, 7, 8, 0.5f, 1.5f, 2.5f, 3.5f, 4.5f}), fields_of(pTrack->get_key(0)));
  EXPECT_EQ((FloatsT{20, KEY_LINEAR, 5, 0, 0.5f, 1.5f, 2.5f, 3.5f, 4.5f}), fields_of(pTrack->get_key(1)));
}

// Only a count beyond the keys' storage is damage. A type byte outside the
// table is kept and saved back as stored, and its track evaluates its stored
// count of values like a float track does; its new keys are smooth.
TEST(TrackDocument, CountsBeyondFourAreDamagedUnknownTypesEvaluate) {
  const BytesT rKey = chunk(0x2000, 1, key_record({1, 2, 3, 4}, 0, 0x2));
  load_track(concat({settings(5, TRACK_TYPE_COLOR), rKey}), CHUNK_DAMAGED);
  EXPECT_EQ(1, load_track(concat({settings(4, TRACK_TYPE_COLOR), rKey}))->get_key_count());

  const BytesT rStored = concat({chunk(0x1000, 1, {1, 6, 1, 1}), chunk(0x2000, 1, key_record({2}, 0, 0x2, {0, 0, 0, 0, 0})),
                                 chunk(0x2000, 1, key_record({6}, 100, 0x2, {0, 0, 0, 0, 0}))});
  OwnedT<AnimTrackC> pTrack = load_track(rStored);
  EXPECT_EQ(6, pTrack->get_type());
  EXPECT_EQ(1, pTrack->get_value_count());
  float f32Value = 0.0f;
  pTrack->get_float(&f32Value, 50);
  EXPECT_FLOAT_EQ(4.0f, f32Value);
  DocumentFileC rSaved;
  EXPECT_EQ(CHUNK_OK, rSaved.save(pTrack.get()));
  EXPECT_TRUE(rStored == rSaved.payload());
  EXPECT_EQ(KEY_SMOOTH, pTrack->add_key(25)->get_flags());

  pTrack = load_track(concat({settings(3, 255), chunk(0x2000, 1, key_record({1, 2, 3}, 0, 0x2))}));
  EXPECT_EQ(255, pTrack->get_type());
  float rValues[3] = {0, 0, 0};
  pTrack->get_value(rValues, 10);
  EXPECT_EQ((FloatsT{1, 2, 3}), FloatsT(rValues, rValues + 3));
}
