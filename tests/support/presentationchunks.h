#ifndef TESTS_SUPPORT_PRESENTATIONCHUNKS_H
#define TESTS_SUPPORT_PRESENTATIONCHUNKS_H

#include <cstdint>

#include "corelib/classidentc.h"
#include "corelib/editablec.h"
#include "corelib/scenec.h"
#include "docfile/chunkwriterc.h"

// Whole presentation documents, written chunk by chunk through the real writer.

constexpr uint32_t TOP_VERSION = 0x00010000;

// A top-level chunk that names a class: an importable (0x1000) or a device
// driver (0x5000), with pBody's own data when there is a body.
inline void write_class_chunk(ChunkWriterC& rWriter, uint32_t ui32Id, const ClassIdentC& rClass, const char* szName,
                              EditableC* pBody) {
  const uint32_t rIdent[2] = {rClass.get_first(), rClass.get_second()};
  rWriter.begin_chunk(ui32Id, TOP_VERSION);
  rWriter.write(rIdent, sizeof(rIdent));
  rWriter.write_str(szName);
  if (pBody) {
    pBody->save(&rWriter);
  }
  rWriter.end_chunk();
}

inline void write_string_chunk(ChunkWriterC& rWriter, uint32_t ui32Id, uint32_t ui32Version, const char* szText) {
  rWriter.begin_chunk(ui32Id, ui32Version);
  rWriter.write_str(szText);
  rWriter.end_chunk();
}

inline void write_scene_chunk(ChunkWriterC& rWriter, SceneC* pScene) {
  rWriter.begin_chunk(0x2000, TOP_VERSION);
  pScene->save(&rWriter);
  rWriter.end_chunk();
}

#endif
