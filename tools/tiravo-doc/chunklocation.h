#ifndef TOOLS_TIRAVO_DOC_CHUNKLOCATION_H
#define TOOLS_TIRAVO_DOC_CHUNKLOCATION_H

#include <cstdint>
#include <string>
#include <vector>

#include "tools/tiravo-doc/tracingreaderc.h"

class SceneC;

// Where a reported chunk lies: the JSON path of the object that holds it,
// and the ids of the chunks between that object's level and the chunk.
struct ChunkLocationS {
  std::string m_sWhere;
  std::vector<uint32_t> m_rChunks;
};

// rPath runs from the top level down to the holding chunk; the layers'
// effect counts turn effect chunks into effect indices: layers
// save their effects last to first.
ChunkLocationS locate_chunk(const std::vector<ChunkStepS>& rPath, SceneC* pScene);

#endif
