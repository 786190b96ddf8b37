#include <gtest/gtest.h>

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
#include "tests/support/testimportablec.h"

namespace {

// A gizmo holding one parameter of every kind, as an effect's constructor
// makes it: ids 0 to 4 in the order file, colour, vector, float, integer, so
// positions and ids differ.
OwnedT<GizmoC> make_gizmo() {
  OwnedT<GizmoC> pGizmo(GizmoC::create_gizmo(nullptr, "Attributes", 1));
  GizmoC* p = pGizmo.get();
  p->add_param(FileParamC::create_param(p, "Video", SUPERCLASS_VIDEO_IMPORTABLE, NULL_CLASSID, 4, 0x8));
  p->add_param(ColorParamC::create_param(p, "Fill Color", RgbaColorC(1.0f, 1.0f, 1.0f, 1.0f), 3, 0x10, true));
  p->add_param(Vector2ParamC::create_param(p, "Position", Vector2C(), 2, 0x81, true, Vector2C(), Vector2C(), 0.01f));
  p->add_param(FloatParamC::create_param(p, "FPS", 25.0f, 1, 0x1, true, 0.0f, 100.0f, 0.1f));
  p->add_param(IntParamC::create_param(p, "Render mode", 0, 0, 0x2, true, 0, 2, 1));
  return pGizmo;
}

template <class ParamT>
ParamT* param(GizmoC* pGizmo, int32_t i32Id) {
  for (int32_t i = 0; i < pGizmo->get_param_count(); ++i) {
    if (pGizmo->get_param(i)->get_id() == i32Id) {
      return static_cast<ParamT*>(pGizmo->get_param(i));
    }
  }
  return nullptr;
}

// Gives every parameter of a make_gizmo() gizmo values unlike the defaults,
// animating all that can be.
void fill(GizmoC* pGizmo, ImportHandleC* pHandle) {
  for (int32_t i = 0; i < pGizmo->get_param_count(); ++i) {
    pGizmo->get_param(i)->add_flags(PARAM_FLAG_ANIMATED);
  }
  pGizmo->set_flags(0x41);
  param<FileParamC>(pGizmo, 4)->set_time_offset(-40);
  param<FileParamC>(pGizmo, 4)->set_time_scale(0.5f);
  param<ColorParamC>(pGizmo, 3)->set_value(0, RgbaColorC(1.0f, 0.5f, 0.25f, 1.0f));
  param<ColorParamC>(pGizmo, 3)->set_value(100, RgbaColorC(0.0f, 0.5f, 1.0f, 0.5f));
  param<Vector2ParamC>(pGizmo, 2)->set_value(-10, Vector2C(1, 2));
  param<Vector2ParamC>(pGizmo, 2)->set_value(50, Vector2C(-3, 8));
  param<Vector2ParamC>(pGizmo, 2)->set_value(90, Vector2C(4, 4));
  AnimKeyC* pKey = param<Vector2ParamC>(pGizmo, 2)->get_track()->find_key(50);
  pKey->set_tension(0.25f);
  pKey->set_continuity(-0.5f);
  pKey->set_bias(0.75f);
  pKey->set_ease_in(0.125f);
  pKey->set_ease_out(0.375f);
  param<Vector2ParamC>(pGizmo, 2)->get_track()->set_after_mode(TRACK_MODE_LOOP);
  param<Vector2ParamC>(pGizmo, 2)->get_track()->prepare();
  const float rFps[2] = {12.5f, 50.0f};
  param<FloatParamC>(pGizmo, 1)->set_value(0, &rFps[0]);
  param<FloatParamC>(pGizmo, 1)->set_value(200, &rFps[1]);
  param<FloatParamC>(pGizmo, 1)->set_edit_hint(9);
  param<IntParamC>(pGizmo, 0)->set_label(0, "Normal");
  param<IntParamC>(pGizmo, 0)->set_label(2, "Mult");
  const int32_t rModes[2] = {1, 2};
  param<IntParamC>(pGizmo, 0)->set_value(0, &rModes[0]);
  param<IntParamC>(pGizmo, 0)->set_value(60, &rModes[1]);
  param<FileParamC>(pGizmo, 4)->set_file(pHandle);
}

TEST(GizmoTest, RoundTripOfEveryKindWithTracksAndKeys) {
  OwnedT<TestImportableC> pImportable(TestImportableC::make("clip.avi"));
  OwnedT<ImportHandleC> pHandle(ImportHandleC::create_handle());
  pHandle->set_importable(pImportable.get());
  pHandle->set_user_value(3);
  OwnedT<GizmoC> pSaved = make_gizmo();
  fill(pSaved.get(), pHandle.get());
  DocumentFileC rFile;
  ASSERT_EQ(CHUNK_OK, rFile.save(pSaved.get()));

  OwnedT<GizmoC> pLoaded = make_gizmo();
  pLoaded->set_name("");
  ChunkReaderC rReader(nullptr);
  EXPECT_EQ(CHUNK_OK, rFile.load(rReader, pLoaded.get()));
  EXPECT_STREQ("Attributes", pLoaded->get_name());
  EXPECT_EQ(0x41u, pLoaded->get_flags());

  // The file is not looked up: its index waits for the document loader.
  ASSERT_EQ(1, rReader.get_file_fixup_count());
  EXPECT_EQ(3, rReader.get_file_fixup_index(0));
  FileParamC* pFile = param<FileParamC>(pLoaded.get(), 4);
  *rReader.get_file_fixup_target(0) = pHandle.get();
  EXPECT_EQ(pHandle.get(), pFile->get_file());
  EXPECT_EQ(-40, pFile->get_time_offset());
  EXPECT_EQ(0.5f, pFile->get_time_scale());

  EXPECT_EQ(9, param<FloatParamC>(pLoaded.get(), 1)->get_edit_hint());
  IntParamC* pInt = param<IntParamC>(pLoaded.get(), 0);
  ASSERT_EQ(2, pInt->get_label_count());
  EXPECT_STREQ("Mult", pInt->get_label_text(1));
  AnimTrackC* pLoadedVector = param<Vector2ParamC>(pLoaded.get(), 2)->get_track();
  AnimTrackC* pSavedVector = param<Vector2ParamC>(pSaved.get(), 2)->get_track();
  EXPECT_EQ(TRACK_MODE_LOOP, pLoadedVector->get_after_mode());
  AnimKeyC* pKey = pLoadedVector->find_key(50);
  ASSERT_NE(nullptr, pKey);
  EXPECT_EQ(0.25f, pKey->get_tension());
  EXPECT_EQ(-0.5f, pKey->get_continuity());
  EXPECT_EQ(0.75f, pKey->get_bias());
  EXPECT_EQ(0.125f, pKey->get_ease_in());
  EXPECT_EQ(0.375f, pKey->get_ease_out());
  // Tangents are not stored but recomputed, so the curves agree everywhere.
  for (int32_t i32Time = -60; i32Time <= 260; i32Time += 7) {
    for (int32_t i = 0; i < pSaved->get_param_count(); ++i) {
      float rSaved[4] = {};
      float rLoaded[4] = {};
      pSaved->get_param(i)->get_value(i32Time, rSaved);
      pLoaded->get_param(i)->get_value(i32Time, rLoaded);
      for (int32_t c = 0; c < 4; ++c) {
        EXPECT_EQ(rSaved[c], rLoaded[c]) << pSaved->get_param(i)->get_name() << " at " << i32Time;
      }
    }
  }
  EXPECT_EQ(pSavedVector->get_key_count(), pLoadedVector->get_key_count());
}

TEST(GizmoTest, ParametersLoadByIdAndKindWhateverTheirPosition) {
  // Chunks for the ids in another order than the list, one for an id no
  // parameter has, and one whose kind does not match its parameter.
  auto float_chunk = [](int32_t i32Id, int32_t i32Kind, float f32Value) {
    const BytesT rValues = concat({bytes_of(f32Value), bytes_of(0.1f), bytes_of(0.0f), bytes_of(100.0f)});
    return chunk(0x2000 + i32Id, 1, concat({bytes_of(i32Kind), chunk(0x3000, 1, rValues)}));
  };
  DocumentFileC rFile;
  rFile.write_payload(concat({float_chunk(1, PARAM_KIND_FLOAT, 60.0f), float_chunk(7, PARAM_KIND_FLOAT, 1.0f),
                              float_chunk(0, PARAM_KIND_FLOAT, 2.0f)}));
  OwnedT<GizmoC> pGizmo = make_gizmo();
  EXPECT_EQ(CHUNK_OK, rFile.load(pGizmo.get()));
  float f32Fps = 0.0f;
  param<FloatParamC>(pGizmo.get(), 1)->get_value(0, &f32Fps);
  EXPECT_EQ(60.0f, f32Fps);
  int32_t i32Mode = -1;
  param<IntParamC>(pGizmo.get(), 0)->get_value(0, &i32Mode);
  EXPECT_EQ(0, i32Mode) << "a chunk of another kind leaves the parameter unchanged";
  EXPECT_EQ(5, pGizmo->get_param_count());
}

TEST(GizmoTest, CopiesOwnTheirParametersAndRestoreCopiesShareThem) {
  OwnedT<TestImportableC> pImportable(TestImportableC::make("clip.avi"));
  OwnedT<ImportHandleC> pHandle(ImportHandleC::create_handle());
  pHandle->set_importable(pImportable.get());
  OwnedT<GizmoC> pGizmo = make_gizmo();
  fill(pGizmo.get(), pHandle.get());
  OwnedT<GizmoC> pCopy(static_cast<GizmoC*>(pGizmo->duplicate()));
  ASSERT_EQ(5, pCopy->get_param_count());
  for (int32_t i = 0; i < 5; ++i) {
    ParamBaseC* pParam = pCopy->get_param(i);
    EXPECT_NE(pGizmo->get_param(i), pParam);
    EXPECT_EQ(pCopy.get(), pParam->get_parent()) << "copies notify their own gizmo";
    if (pParam->get_track()) {
      EXPECT_NE(pGizmo->get_param(i)->get_track(), pParam->get_track());
      EXPECT_EQ(pGizmo->get_param(i)->get_track()->get_key_count(), pParam->get_track()->get_key_count());
    }
  }
  EXPECT_EQ(pHandle.get(), param<FileParamC>(pCopy.get(), 4)->get_file());
  pCopy->copy(pCopy.get());
  EXPECT_EQ(5, pCopy->get_param_count());

  {
    OwnedT<EditableC> pRestoreCopy(pGizmo->make_restore_copy());
    EXPECT_EQ(pGizmo->get_param(2), static_cast<GizmoC*>(pRestoreCopy.get())->get_param(2));
  }
  // Still alive after the restore copy went: the sanitizer run checks it.
  EXPECT_EQ(2, pGizmo->get_param(2)->get_id());
  EXPECT_EQ(nullptr, pGizmo->get_param(-1));
  EXPECT_EQ(nullptr, pGizmo->get_param(5));
  pGizmo->add_param(nullptr);
  EXPECT_EQ(5, pGizmo->get_param_count());
}

}  // namespace
