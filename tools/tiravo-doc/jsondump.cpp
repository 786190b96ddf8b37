#include "tools/tiravo-doc/jsondump.h"

#include "corelib/effectbasec.h"
#include "corelib/importablebasec.h"
#include "corelib/importhandlec.h"
#include "corelib/importlistc.h"
#include "corelib/layerc.h"
#include "corelib/scenec.h"
#include "tools/tiravo-doc/animationdump.h"
#include "tools/tiravo-doc/chunklocation.h"
#include "tools/tiravo-doc/documentwalk.h"
#include "tools/tiravo-doc/effectdump.h"

namespace {

JsonT dump_layer(LayerC* pLayer, const FileIndexF& rFileIndex) {
  JsonT rJson = JsonT::object();
  rJson["name"] = pLayer->get_name();
  rJson["flags"] = pLayer->get_flags();
  rJson["time_segment"] = dump_segment(pLayer->get_time_segment());
  JsonT rEffects = JsonT::array();
  for (int32_t i = 0; i < pLayer->get_effect_count(); ++i) {
    rEffects.push_back(dump_effect(pLayer->get_effect(i), rFileIndex));
  }
  rJson["effects"] = rEffects;
  return rJson;
}

JsonT dump_markers(SceneC* pScene) {
  JsonT rMarkers = JsonT::array();
  for (int32_t i = 0; i < pScene->get_marker_count(); ++i) {
    rMarkers.push_back(JsonT{{"position", pScene->get_marker_position(i)}, {"label", pScene->get_marker_label(i)}});
  }
  return rMarkers;
}

JsonT dump_scene(SceneC* pScene, const FileIndexF& rFileIndex) {
  JsonT rJson = JsonT::object();
  rJson["name"] = pScene->get_name();
  rJson["beats_per_min"] = pScene->get_beats_per_min();
  rJson["tick_division"] = pScene->get_tick_division();
  rJson["beat_group"] = pScene->get_beat_group();
  rJson["beat_units"] = pScene->get_beat_units();
  rJson["end_time"] = pScene->get_end_time();
  rJson["layout_width"] = pScene->get_layout_width();
  rJson["layout_height"] = pScene->get_layout_height();
  rJson["markers"] = dump_markers(pScene);
  JsonT rLayers = JsonT::array();
  for (int32_t i = 0; i < pScene->get_layer_count(); ++i) {
    rLayers.push_back(dump_layer(pScene->get_layer(static_cast<uint32_t>(i)), rFileIndex));
  }
  rJson["layers"] = rLayers;
  return rJson;
}

JsonT dump_file(ImportHandleC* pHandle, const StoredClassS& rStored, const FileDumpS& rFile) {
  JsonT rJson = JsonT::object();
  rJson["class"] = class_json(rStored.m_rClass, rStored.m_sClassName);
  ImportableBaseC* pImportable = pHandle->get_importable();
  if (!pImportable) {
    rJson["missing_class"] = true;
    return rJson;
  }
  rJson["file_name"] = pImportable->get_file_name();
  if (!rFile.m_sCopy.empty()) {
    rJson["copy"] = rFile.m_sCopy;
  }
  if (rFile.m_bHasSize) {
    rJson["size"] = rFile.m_ui64Size;
  }
  rJson["info"] = pImportable->get_info();
  return rJson;
}

JsonT dump_files(const LoadedDocumentC& rDocument, const std::vector<FileDumpS>& rFiles) {
  JsonT rJson = JsonT::array();
  for (int32_t i = 0; i < rDocument.m_pFiles->get_handle_count(); ++i) {
    const size_t uIndex = static_cast<size_t>(i);
    const FileDumpS rFile = uIndex < rFiles.size() ? rFiles[uIndex] : FileDumpS();
    rJson.push_back(dump_file(rDocument.m_pFiles->get_handle(i), rDocument.m_rFileClasses[uIndex], rFile));
  }
  return rJson;
}

JsonT dump_drivers(const LoadedDocumentC& rDocument) {
  JsonT rJson = JsonT::array();
  for (const DocumentDriverS& rDriver : rDocument.m_rDrivers) {
    rJson.push_back(JsonT{{"class", class_json(rDriver.m_rClass, rDriver.m_sClassName)},
                          {"data", bytes_to_hex(rDriver.m_rData)}});
  }
  return rJson;
}

const char* reason_text(ChunkReasonE eReason) {
  switch (eReason) {
    case REASON_UNKNOWN_CHUNK:
      return "unknown chunk";
    case REASON_UNREAD_BYTES:
      return "unread bytes";
    case REASON_MISSING_CLASS:
      return "missing class";
  }
  return "";
}

// A missing class's chunk is the object itself; other chunks lie inside the
// object that holds them.
JsonT dump_report(const ChunkReportS& rReport, SceneC* pScene) {
  std::vector<ChunkStepS> rHolder = rReport.m_rPath;
  if (rReport.m_eReason != REASON_MISSING_CLASS) {
    rHolder.pop_back();
  }
  const ChunkLocationS rLocation = locate_chunk(rHolder, pScene);
  JsonT rChunks = JsonT::array();
  for (uint32_t ui32Id : rLocation.m_rChunks) {
    rChunks.push_back(hex_text(ui32Id));
  }
  const ChunkStepS& rChunk = rReport.m_rPath.back();
  JsonT rJson{{"where", rLocation.m_sWhere}, {"chunks", rChunks}, {"id", hex_text(rChunk.m_ui32Id)},
              {"version", hex_text(rChunk.m_ui32Version)}, {"size", rReport.m_ui32Size},
              {"reason", reason_text(rReport.m_eReason)}};
  if (rReport.m_eReason == REASON_UNREAD_BYTES) {
    rJson["unread"] = rReport.m_ui32Unread;
  }
  if (rReport.m_eReason == REASON_MISSING_CLASS) {
    rJson["class"] = class_json(rReport.m_rClass, rReport.m_sClassName);
  }
  return rJson;
}

}  // namespace

JsonT dump_document(const LoadedDocumentC& rDocument, const std::vector<FileDumpS>& rFiles) {
  ImportListC* pFiles = rDocument.m_pFiles;
  const FileIndexF rFileIndex = [pFiles](ImportHandleC* pHandle) -> int32_t {
    for (int32_t i = 0; i < pFiles->get_handle_count(); ++i) {
      if (pFiles->get_handle(i) == pHandle) {
        return i;
      }
    }
    return -1;
  };
  JsonT rJson = JsonT::object();
  rJson["format"] = DESCRIPTION_FORMAT;
  rJson["scene"] = dump_scene(rDocument.m_pScene, rFileIndex);
  rJson["files"] = dump_files(rDocument, rFiles);
  if (rDocument.m_bHasMusic) {
    rJson["music"] = rDocument.m_sMusic;
  }
  rJson["drivers"] = dump_drivers(rDocument);
  JsonT rReports = JsonT::array();
  for (const ChunkReportS& rReport : rDocument.m_rReports) {
    rReports.push_back(dump_report(rReport, rDocument.m_pScene));
  }
  rJson["uninterpreted"] = rReports;
  return rJson;
}
