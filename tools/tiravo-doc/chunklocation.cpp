#include "tools/tiravo-doc/chunklocation.h"

#include "corelib/layerc.h"
#include "corelib/scenec.h"
#include "corelib/documentchunks.h"

namespace {

// The chunks of SceneC, LayerC and TimeSegmentC that hold objects, as
// corelib lays them out (it keeps the ids to itself). A layer's settings
// chunk holds its time segment's chunks.
constexpr uint32_t SCENE_CHUNK_LAYER = 0x2000;
constexpr uint32_t LAYER_CHUNK_SETTINGS = 0x1000;
constexpr uint32_t LAYER_CHUNK_EFFECT = 0x2000;
constexpr uint32_t SEGMENT_CHUNK_TRIM_KEY = 0x2000;
constexpr uint32_t OBJECT_VERSION = 1;

// The document levels whose chunks name objects; below an object whose
// chunks belong to its class, chunks are only listed.
enum LevelE { LEVEL_DOCUMENT, LEVEL_SCENE, LEVEL_LAYER, LEVEL_SEGMENT, LEVEL_OPAQUE };

struct LocatorS {
  ChunkLocationS m_rLocation;
  LevelE m_eLevel = LEVEL_DOCUMENT;
  int32_t m_i32Layer = 0;
};

std::string indexed(const char* szName, int32_t i32Index) {
  return std::string(szName) + "[" + std::to_string(i32Index) + "]";
}

void enter(LocatorS* pLocator, const std::string& rName, LevelE eLevel) {
  std::string& rWhere = pLocator->m_rLocation.m_sWhere;
  rWhere += (rWhere.empty() ? "" : ".") + rName;
  pLocator->m_eLevel = eLevel;
}

void step_document(LocatorS* pLocator, const ChunkStepS& rStep) {
  if (rStep.m_ui32Version == DOCUMENT_CHUNK_VERSION && rStep.m_ui32Id == DOCUMENT_CHUNK_IMPORTABLE) {
    enter(pLocator, indexed("files", rStep.m_i32Ordinal), LEVEL_OPAQUE);
  } else if (rStep.m_ui32Version == DOCUMENT_CHUNK_VERSION && rStep.m_ui32Id == DOCUMENT_CHUNK_SCENE) {
    enter(pLocator, "scene", LEVEL_SCENE);
  } else if (rStep.m_ui32Version == DOCUMENT_CHUNK_VERSION && rStep.m_ui32Id == DOCUMENT_CHUNK_DEVICE_DRIVER) {
    enter(pLocator, indexed("drivers", rStep.m_i32Ordinal), LEVEL_OPAQUE);
  } else {
    pLocator->m_rLocation.m_rChunks.push_back(rStep.m_ui32Id);
    pLocator->m_eLevel = LEVEL_OPAQUE;
  }
}

void step_scene(LocatorS* pLocator, const ChunkStepS& rStep) {
  if (rStep.m_ui32Version == OBJECT_VERSION && rStep.m_ui32Id == SCENE_CHUNK_LAYER) {
    pLocator->m_i32Layer = rStep.m_i32Ordinal;
    enter(pLocator, indexed("layers", rStep.m_i32Ordinal), LEVEL_LAYER);
  } else {
    pLocator->m_rLocation.m_rChunks.push_back(rStep.m_ui32Id);
    pLocator->m_eLevel = LEVEL_OPAQUE;
  }
}

int32_t effect_index(SceneC* pScene, int32_t i32Layer, int32_t i32Ordinal) {
  if (!pScene || i32Layer >= pScene->get_layer_count()) {
    return i32Ordinal;
  }
  const int32_t i32Count = pScene->get_layer(static_cast<uint32_t>(i32Layer))->get_effect_count();
  return i32Ordinal < i32Count ? i32Count - 1 - i32Ordinal : i32Ordinal;
}

void step_layer(LocatorS* pLocator, const ChunkStepS& rStep, SceneC* pScene) {
  if (rStep.m_ui32Version == OBJECT_VERSION && rStep.m_ui32Id == LAYER_CHUNK_SETTINGS) {
    enter(pLocator, "time_segment", LEVEL_SEGMENT);
  } else if (rStep.m_ui32Version == OBJECT_VERSION && rStep.m_ui32Id == LAYER_CHUNK_EFFECT) {
    enter(pLocator, indexed("effects", effect_index(pScene, pLocator->m_i32Layer, rStep.m_i32Ordinal)),
          LEVEL_OPAQUE);
  } else {
    pLocator->m_rLocation.m_rChunks.push_back(rStep.m_ui32Id);
    pLocator->m_eLevel = LEVEL_OPAQUE;
  }
}

void step_segment(LocatorS* pLocator, const ChunkStepS& rStep) {
  if (rStep.m_ui32Id == SEGMENT_CHUNK_TRIM_KEY) {
    enter(pLocator, indexed("keys", rStep.m_i32Ordinal), LEVEL_OPAQUE);
  } else {
    pLocator->m_rLocation.m_rChunks.push_back(rStep.m_ui32Id);
    pLocator->m_eLevel = LEVEL_OPAQUE;
  }
}

}  // namespace

ChunkLocationS locate_chunk(const std::vector<ChunkStepS>& rPath, SceneC* pScene) {
  LocatorS rLocator;
  for (const ChunkStepS& rStep : rPath) {
    switch (rLocator.m_eLevel) {
      case LEVEL_DOCUMENT:
        step_document(&rLocator, rStep);
        break;
      case LEVEL_SCENE:
        step_scene(&rLocator, rStep);
        break;
      case LEVEL_LAYER:
        step_layer(&rLocator, rStep, pScene);
        break;
      case LEVEL_SEGMENT:
        step_segment(&rLocator, rStep);
        break;
      case LEVEL_OPAQUE:
        rLocator.m_rLocation.m_rChunks.push_back(rStep.m_ui32Id);
        break;
    }
  }
  if (rLocator.m_rLocation.m_sWhere.empty()) {
    rLocator.m_rLocation.m_sWhere = "document";
  }
  return rLocator.m_rLocation;
}
