#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "corelib/animtrackc.h"
#include "corelib/colorparamc.h"
#include "corelib/fileparamc.h"
#include "corelib/floatparamc.h"
#include "corelib/gizmoc.h"
#include "corelib/importhandlec.h"
#include "corelib/intparamc.h"
#include "corelib/ownedobject.h"
#include "corelib/vector2paramc.h"
#include "tests/support/chunkbytes.h"
#include "tests/support/documentfilec.h"
#include "tests/support/recordingundoc.h"
#include "tests/support/testeffectc.h"
#include "tests/support/testimportablec.h"

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

// A gizmo "G" (id 4) held by a test effect, so notices reach the effect.
class ParamTestC : public ::testing::Test {
 protected:
  OwnedT<TestEffectC> m_pEffect{TestEffectC::make()};
  OwnedT<GizmoC> m_pGizmo{GizmoC::create_gizmo(m_pEffect.get(), "G", 4)};

  // The parameter, added to the gizmo, which owns it.
  template <class ParamT>
  ParamT* add(ParamT* pParam) {
    m_pGizmo->add_param(pParam);
    return pParam;
  }
  IntParamC* add_int(int32_t i32Min, int32_t i32Max) {
    return add(IntParamC::create_param(m_pGizmo.get(), "Mode", 1, 7, 0x2, true, i32Min, i32Max, 1));
  }
  FloatParamC* add_float(float f32Min, float f32Max) {
    return add(FloatParamC::create_param(m_pGizmo.get(), "FPS", 0.5f, 8, 0x1, true, f32Min, f32Max, 0.1f));
  }
};

TEST_F(ParamTestC, IntegersAreTruncatedThenClamped) {
  IntParamC* pParam = add_int(0, 2);
  EXPECT_TRUE(pParam->get_flags() & PARAM_FLAG_CLAMP);
  const float f32High = 5.9f;
  const float f32SlightlyNegative = -0.7f;
  pParam->set_value(0, &f32High);
  int32_t i32Value = -1;
  pParam->get_value(0, &i32Value);
  EXPECT_EQ(2, i32Value);
  pParam->set_value(0, &f32SlightlyNegative);
  pParam->get_value(0, &i32Value);
  EXPECT_EQ(0, i32Value);
  // Out of the int32 range or NaN: no undefined conversion, then the limits.
  const float f32Huge = 1e20f;
  pParam->set_value(0, &f32Huge);
  pParam->get_value(0, &i32Value);
  EXPECT_EQ(2, i32Value);
  pParam->set_value(0, &NaN);
  pParam->get_value(0, &i32Value);
  EXPECT_EQ(0, i32Value);
}

TEST_F(ParamTestC, EqualLimitsNeverClamp) {
  IntParamC* pInt = add_int(0, 0);
  FloatParamC* pFloat = add_float(0.0f, 0.0f);
  Vector2ParamC* pVector = add(Vector2ParamC::create_param(m_pGizmo.get(), "Pivot", Vector2C(3, 4), 2, 0x301, true,
                                                            Vector2C(1, 1), Vector2C(1, 1), 0.01f));
  for (ParamBaseC* pParam : {static_cast<ParamBaseC*>(pInt), static_cast<ParamBaseC*>(pFloat),
                             static_cast<ParamBaseC*>(pVector)}) {
    EXPECT_FALSE(pParam->get_flags() & PARAM_FLAG_CLAMP) << pParam->get_name();
  }
  const int32_t i32Seven = 7;
  pInt->set_value(0, &i32Seven);
  int32_t i32Value = 0;
  pInt->get_value(0, &i32Value);
  EXPECT_EQ(7, i32Value);
  const float f32Value = -3.5f;
  pFloat->set_value(0, &f32Value);
  float f32Out = 0.0f;
  pFloat->get_value(0, &f32Out);
  EXPECT_EQ(-3.5f, f32Out);
  Vector2C rOut;
  pVector->get_value(0, &rOut);
  EXPECT_EQ(Vector2C(3, 4), rOut);
  // Setting limits that differ turns clamping on, without touching the value.
  pInt->set_min_max(0, 5);
  EXPECT_TRUE(pInt->get_flags() & PARAM_FLAG_CLAMP);
  pInt->get_value(0, &i32Value);
  EXPECT_EQ(7, i32Value);
}

TEST_F(ParamTestC, FloatsAndVectorsClampEachComponentAndNaNBecomesMin) {
  FloatParamC* pFloat = add_float(-1.0f, 1.0f);
  float f32Out = 0.0f;
  pFloat->set_value(0, &NaN);
  pFloat->get_value(0, &f32Out);
  EXPECT_EQ(-1.0f, f32Out);
  const float f32High = 2.0f;
  pFloat->set_value(0, &f32High);
  pFloat->get_value(0, &f32Out);
  EXPECT_EQ(1.0f, f32Out);

  Vector2ParamC* pVector = add(Vector2ParamC::create_param(m_pGizmo.get(), "Scale", Vector2C(9, -9), 3, 0x21, true,
                                                            Vector2C(0, -2), Vector2C(4, 2), 0.01f));
  Vector2C rOut;
  pVector->get_value(0, &rOut);
  EXPECT_EQ(Vector2C(4, -2), rOut) << "the default is clamped";
  pVector->set_value(0, Vector2C(NaN, 1.5f));
  pVector->get_value(0, &rOut);
  EXPECT_EQ(Vector2C(0, 1.5f), rOut);
  float rMin[2];
  float rMax[2];
  EXPECT_TRUE(pVector->get_min_max(rMin, rMax));
  EXPECT_EQ(-2.0f, rMin[1]);
  EXPECT_EQ(4.0f, rMax[0]);
}

TEST_F(ParamTestC, ColoursAlwaysStayWithinZeroAndOne) {
  ColorParamC* pColor = add(ColorParamC::create_param(m_pGizmo.get(), "Fill Color", RgbaColorC(2.0f, 0.0f, 0.0f, 1.0f),
                                                      5, 0x10, true));
  RgbaColorC rOut;
  pColor->get_value(0, &rOut);
  EXPECT_EQ(RgbaColorC(2.0f, 0.0f, 0.0f, 1.0f), rOut) << "the default is stored as given";
  pColor->set_value(0, RgbaColorC(1.5f, -0.2f, 0.5f, NaN));
  pColor->get_value(0, &rOut);
  EXPECT_EQ(RgbaColorC(1.0f, 0.0f, 0.5f, 0.0f), rOut);
  EXPECT_EQ(1.0f / 256.0f, pColor->get_increment());
}

TEST_F(ParamTestC, IncrementsAndEditHints) {
  IntParamC* pInt = add_int(0, 2);
  pInt->set_increment(2.9f);
  EXPECT_EQ(2.0f, pInt->get_increment());
  pInt->set_edit_hint(0);
  EXPECT_EQ(1, pInt->get_edit_hint());
  pInt->set_edit_hint(-5);
  EXPECT_EQ(1, pInt->get_edit_hint());
  pInt->set_edit_hint(12);
  EXPECT_EQ(12, pInt->get_edit_hint());
}

TEST_F(ParamTestC, ChangesReachTheEffectThroughTheGizmo) {
  m_pEffect->m_i32NotifyResult = 33;
  FloatParamC* pParam = add_float(0.0f, 0.0f);
  const float f32Value = 1.0f;
  EXPECT_EQ(33, pParam->set_value(250, &f32Value));
  ASSERT_EQ(1u, m_pEffect->m_rNotices.size());
  EXPECT_EQ((std::array<int32_t, 3>{4, 8, 250}), m_pEffect->m_rNotices[0]);

  OwnedT<FloatParamC> pOrphan(FloatParamC::create_param(nullptr, "Alone", 0.0f, 1, 0, true, 0.0f, 0.0f, 0.1f));
  EXPECT_EQ(0, pOrphan->set_value(0, &f32Value));
}

TEST_F(ParamTestC, AnimatedSetValueWritesOneKeyPerTime) {
  FloatParamC* pParam = add_float(0.0f, 0.0f);
  pParam->add_flags(PARAM_FLAG_ANIMATED);
  AnimTrackC* pTrack = pParam->get_track();
  const float f32First = 4.0f;
  const float f32Second = 6.0f;
  pParam->set_value(100, &f32First);
  pParam->set_value(100, &f32Second);
  ASSERT_EQ(1, pTrack->get_key_count());
  float f32Key = 0.0f;
  pTrack->get_key(0)->get_values(&f32Key);
  EXPECT_EQ(6.0f, f32Key);
  pParam->set_value(300, &f32First);
  EXPECT_EQ(2, pTrack->get_key_count());
  // Two smooth keys make a straight line: halfway is the mean.
  float f32Out = 0.0f;
  pParam->get_value(200, &f32Out);
  EXPECT_FLOAT_EQ(5.0f, f32Out);
  pParam->get_value(1000, &f32Out);
  EXPECT_EQ(4.0f, f32Out);
}

TEST_F(ParamTestC, AnimatedSetValueRecordsTrackAndKeyInTheUndo) {
  FloatParamC* pParam = add_float(0.0f, 0.0f);
  pParam->add_flags(PARAM_FLAG_ANIMATED);
  OwnedT<RecordingUndoC> pUndo(RecordingUndoC::make());
  pParam->set_undo(pUndo.get());
  const float f32Value = 2.0f;
  pParam->set_value(50, &f32Value);
  AnimTrackC* pTrack = pParam->get_track();
  ASSERT_EQ(1, pTrack->get_key_count());
  ASSERT_EQ(1u, pUndo->m_rNotes.size());
  EXPECT_EQ(pTrack->get_key(0), pUndo->m_rNotes[0].first);
  EXPECT_EQ(UNDO_CHILD_ADDED, pUndo->m_rNotes[0].second);
  // The track before the edit, then the new key before its values changed.
  ASSERT_EQ(2u, pUndo->m_rRestoreCopies.size());
  EXPECT_EQ(pTrack, pUndo->m_rRestoreCopies[0]->get_original());
  EXPECT_EQ(pTrack->get_key(0), pUndo->m_rRestoreCopies[1]->get_original());
  EXPECT_EQ(nullptr, pTrack->get_undo()) << "the track's own undo is put back";
  pParam->set_undo(nullptr);
}

TEST_F(ParamTestC, AnimatedValuesAreClampedAndIntegersTruncated) {
  FloatParamC* pFloat = add_float(0.0f, 1.0f);
  pFloat->add_flags(PARAM_FLAG_ANIMATED);
  AnimKeyC* pKey = pFloat->get_track()->add_key(0);
  const float f32Outside = 3.0f;
  pKey->set_values(&f32Outside);
  float f32Out = 0.0f;
  pFloat->get_value(0, &f32Out);
  EXPECT_EQ(1.0f, f32Out);

  IntParamC* pInt = add_int(-100, 100);
  pInt->add_flags(PARAM_FLAG_ANIMATED);
  AnimTrackC* pTrack = pInt->get_track();
  const float rEnds[2] = {0.0f, -10.0f};
  for (int32_t i = 0; i < 2; ++i) {
    AnimKeyC* pEnd = pTrack->add_key(i * 100);
    pEnd->set_values(&rEnds[i]);
    pEnd->set_flags(KEY_LINEAR);
  }
  // Linear from 0 to -10: -2.5 at 25, truncated toward zero.
  int32_t i32Out = 0;
  pInt->get_value(25, &i32Out);
  EXPECT_EQ(-2, i32Out);
  float f32AsFloat = 0.0f;
  pInt->get_value(25, &f32AsFloat);
  EXPECT_EQ(-2.0f, f32AsFloat);
}

TEST_F(ParamTestC, LabelsStaySortedWithEachValueOnce) {
  IntParamC* pParam = add_int(0, 2);
  pParam->set_label(2, "Mult");
  pParam->set_label(0, "Normal");
  pParam->set_label(1, "Sum");
  pParam->set_label(1, std::string("Add"));
  pParam->remove_label(5);
  ASSERT_EQ(3, pParam->get_label_count());
  const char* rTexts[3] = {"Normal", "Add", "Mult"};
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(i, pParam->get_label_value(i));
    EXPECT_STREQ(rTexts[i], pParam->get_label_text(i));
  }
  pParam->remove_label(0);
  EXPECT_EQ(1, pParam->get_label_value(0));
}

class FileParamTestC : public ParamTestC {
 protected:
  void SetUp() override { m_pHandle->set_importable(m_pImportable.get()); }

  FileParamC* add_file(SuperClassIdentC rSuperFilter, ClassIdentC rClassFilter) {
    return add(FileParamC::create_param(m_pGizmo.get(), "Video", rSuperFilter, rClassFilter, 9, 0x8));
  }

  OwnedT<TestImportableC> m_pImportable{TestImportableC::make("clip.avi")};
  OwnedT<ImportHandleC> m_pHandle{ImportHandleC::create_handle()};
};

TEST_F(FileParamTestC, FiltersChooseTheFilesAndTheGizmoIsAlwaysTold) {
  FileParamC* pParam = add_file(SUPERCLASS_VIDEO_IMPORTABLE, NULL_CLASSID);
  m_pEffect->m_i32NotifyResult = 5;
  EXPECT_EQ(5, pParam->set_file(m_pHandle.get()));
  EXPECT_EQ(m_pHandle.get(), pParam->get_file());

  FileParamC* pOtherFamily = add_file(SUPERCLASS_0x02000001, NULL_CLASSID);
  FileParamC* pOtherClass = add_file(NULL_SUPERCLASSID, ClassIdentC(1, 2));
  FileParamC* pExactClass = add_file(NULL_SUPERCLASSID, TestImportableC::class_ident());
  pOtherFamily->set_file(m_pHandle.get());
  pOtherClass->set_file(m_pHandle.get());
  pExactClass->set_file(m_pHandle.get());
  EXPECT_EQ(nullptr, pOtherFamily->get_file());
  EXPECT_EQ(nullptr, pOtherClass->get_file());
  EXPECT_EQ(m_pHandle.get(), pExactClass->get_file());

  // A handle without an importable changes nothing; null clears.
  OwnedT<ImportHandleC> pEmpty(ImportHandleC::create_handle());
  pParam->set_file(pEmpty.get());
  EXPECT_EQ(m_pHandle.get(), pParam->get_file());
  pParam->set_file(nullptr);
  EXPECT_EQ(nullptr, pParam->get_file());

  ASSERT_EQ(6u, m_pEffect->m_rNotices.size());
  for (const auto& rNotice : m_pEffect->m_rNotices) {
    EXPECT_EQ((std::array<int32_t, 3>{4, 9, 0}), rNotice);
  }
}

TEST_F(FileParamTestC, DurationIsScaledAndTruncated) {
  FileParamC* pParam = add_file(NULL_SUPERCLASSID, NULL_CLASSID);
  EXPECT_EQ(-1, pParam->get_duration(nullptr));
  EXPECT_EQ(1.0f, pParam->get_time_scale());
  EXPECT_EQ(0, pParam->get_time_offset());
  pParam->set_file(m_pHandle.get());
  m_pImportable->m_i32Duration = 1001;
  pParam->set_time_scale(1.5f);
  EXPECT_EQ(1501, pParam->get_duration(nullptr));
  float rUntouched[1] = {7.0f};
  EXPECT_FALSE(pParam->get_min_max(rUntouched, rUntouched));
  EXPECT_EQ(7.0f, rUntouched[0]);
}

TEST_F(ParamTestC, IntegerChunksAreLaidOutByteForByte) {
  IntParamC* pParam = add_int(-1, 5);
  pParam->set_label(3, "Ok");
  DocumentFileC rFile;
  ASSERT_EQ(CHUNK_OK, rFile.save(pParam));
  const BytesT rTrack = chunk(0x1000, 1, BytesT{1, PARAM_KIND_INT, TRACK_MODE_CONSTANT, TRACK_MODE_CONSTANT});
  const BytesT rBase = chunk(0x1000, 1, concat({bytes_of(PARAM_FLAG_NEW | PARAM_FLAG_ANIMATABLE | PARAM_FLAG_CLAMP),
                                                 bytes_of(PARAM_DEFAULT_EDIT_HINT), rTrack}));
  const BytesT rValues = chunk(0x2000, 1, concat({bytes_of(1), bytes_of(1), bytes_of(-1), bytes_of(5)}));
  const BytesT rLabel = chunk(0x2001, 1, concat({bytes_of(uint16_t{2}), text_bytes("Ok"), bytes_of(3)}));
  EXPECT_EQ(concat({rBase, rValues, rLabel}), rFile.payload());
}

TEST_F(FileParamTestC, WithoutAFileOnlyFlagsAndEditHintAreSaved) {
  FileParamC* pParam = add_file(NULL_SUPERCLASSID, NULL_CLASSID);
  DocumentFileC rFile;
  ASSERT_EQ(CHUNK_OK, rFile.save(pParam));
  EXPECT_EQ(chunk(0x1000, 1, concat({bytes_of(PARAM_FLAG_NEW), bytes_of(PARAM_DEFAULT_EDIT_HINT)})), rFile.payload());
}

}  // namespace
