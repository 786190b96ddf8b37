// Writes the document target's seeds: documents as the tests make them,
// through the real writer and the real plug-in classes.
//   fuzz_make_document_seeds OUTPUT_DIRECTORY SMALL.avi OTHER.avi
#include <cstdint>
#include <cstdio>
#include <string>

#include "corelib/animtrackc.h"
#include "corelib/colorparamc.h"
#include "corelib/effectbasec.h"
#include "corelib/fileparamc.h"
#include "corelib/gizmobasec.h"
#include "corelib/importablebasec.h"
#include "corelib/importhandlec.h"
#include "corelib/layerc.h"
#include "corelib/scenec.h"
#include "corelib/timesegmentc.h"
#include "corelib/vector2paramc.h"
#include "docfile/chunkreaderc.h"
#include "docfile/chunkwriterc.h"
#include "registry/classregistryc.h"
#include "plugins/video/flikselclasses.h"
#include "plugins/video/videoplayereffectc.h"
#include "tests/plugins/testrect.h"
#include "tests/support/presentationchunks.h"

namespace {

template <class BodyT>
bool write_document(const std::string& rPath, BodyT&& rBody) {
  ChunkWriterC rWriter;
  if (rWriter.open(rPath.c_str(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH) != CHUNK_OK) {
    return false;
  }
  rBody(rWriter);
  return rWriter.close() == CHUNK_OK;
}

ImportableBaseC* avi(ClassRegistryC& rRegistry, const char* szPath) {
  auto* pAvi = dynamic_cast<ImportableBaseC*>(rRegistry.create_object(CLASS_AVI_IMPORT));
  if (!pAvi || !pAvi->load_file(szPath, nullptr)) {
    std::fprintf(stderr, "cannot import %s\n", szPath);
    std::exit(1);
  }
  return pAvi;
}

ImportHandleC* handle(ImportableBaseC* pImportable, int32_t i32Index) {
  ImportHandleC* pHandle = ImportHandleC::create_handle();
  pHandle->set_importable(pImportable);
  pHandle->set_user_value(i32Index);
  return pHandle;
}

void animate(ParamBaseC* pParam, int32_t i32Type, const float* pFirst, const float* pSecond) {
  pParam->set_track(AnimTrackC::create_track(i32Type));
  pParam->set_value(0, pFirst);
  pParam->set_value(128, pSecond);
  pParam->set_value(512, pFirst);
}

}  // namespace

int main(int iArgc, char** ppArgv) {
  if (iArgc != 4) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY SMALL.avi OTHER.avi\n", ppArgv[0]);
    return 2;
  }
  const std::string sOut = ppArgv[1];
  ClassRegistryC rRegistry;
  rRegistry.load_plugins(TIRAVO_FUZZ_PLUGIN_DIR);
  rRegistry.load_plugins(TIRAVO_FUZZ_TEST_PLUGIN_DIR);
  ImportableBaseC* pSmall = avi(rRegistry, ppArgv[2]);
  ImportableBaseC* pOther = avi(rRegistry, ppArgv[3]);

  SceneC* pScene = SceneC::create_scene();
  pScene->set_layout_width(320);
  LayerC* pRectLayer = pScene->add_layer();
  pRectLayer->get_time_segment()->add_key(0);
  pRectLayer->get_time_segment()->add_key(1000);
  auto* pRect = dynamic_cast<EffectBaseC*>(rRegistry.create_object(TESTRECT_CLASS));
  auto* pVideo = dynamic_cast<EffectBaseC*>(rRegistry.create_object(CLASS_VIDEO_PLAYER));
  if (!pRect || !pVideo) {
    std::fprintf(stderr, "plug-in classes missing\n");
    return 1;
  }
  pRectLayer->add_effect(pRect);
  GizmoBaseC* pRectGizmo = pRect->get_gizmo(TESTRECT_GIZMO_ID);
  const float rRed[4] = {1, 0, 0, 1};
  const float rBlue[4] = {0, 0, 1, 0.5f};
  animate(pRectGizmo->get_param(TESTRECT_PARAM_COLOR), TRACK_TYPE_COLOR, rRed, rBlue);
  static_cast<FileParamC*>(pRectGizmo->get_param(TESTRECT_PARAM_SOURCE))->set_file(handle(pSmall, 0));

  LayerC* pVideoLayer = pScene->add_layer();
  pVideoLayer->get_time_segment()->add_key(64);
  pVideoLayer->add_effect(pVideo);
  const float rLeft[2] = {-20, 10};
  const float rRight[2] = {300, -5};
  animate(pVideo->get_gizmo(PLACEMENT_GIZMO_TRANSFORM)->get_param(PLACEMENT_PARAM_POSITION), TRACK_TYPE_VECTOR2, rLeft,
          rRight);
  const float rSlow[1] = {5};
  const float rFast[1] = {60};
  animate(pVideo->get_gizmo(VIDEO_GIZMO_TIMING)->get_param(VIDEO_PARAM_FPS), TRACK_TYPE_FLOAT, rSlow, rFast);
  static_cast<FileParamC*>(pVideo->get_gizmo(PLACEMENT_GIZMO_ATTRIBUTES)->get_param(VIDEO_PARAM_VIDEO))
      ->set_file(handle(pOther, 1));

  bool bOk = write_document(sOut + "/full", [&](ChunkWriterC& rWriter) {
    write_class_chunk(rWriter, 0x1000, CLASS_AVI_IMPORT, AVI_IMPORT_CLASS_NAME, pSmall);
    write_class_chunk(rWriter, 0x1000, CLASS_AVI_IMPORT, AVI_IMPORT_CLASS_NAME, pOther);
    write_scene_chunk(rWriter, pScene);
    write_string_chunk(rWriter, 0x4000, TOP_VERSION, "song.ogg");
    write_class_chunk(rWriter, 0x5000, CLASS_OPENGL_DEVICEDRIVER, "OpenGL Device Driver", nullptr);
  });
  // A scene alone, whose file parameters refer to files the document lacks.
  bOk = bOk && write_document(sOut + "/scene", [&](ChunkWriterC& rWriter) { write_scene_chunk(rWriter, pScene); });
  bOk = bOk && write_document(sOut + "/video", [&](ChunkWriterC& rWriter) {
    write_class_chunk(rWriter, 0x1000, CLASS_AVI_IMPORT, AVI_IMPORT_CLASS_NAME, pSmall);
  });
  std::printf("%s\n", bOk ? "written" : "failed");
  return bOk ? 0 : 1;
}
