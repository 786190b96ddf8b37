#include "player/documentreading.h"

#include "docfile/chunkreaderc.h"

int32_t read_stored_class(ChunkReaderC* pReader, StoredClassS* pStored) {
  uint32_t rIdent[2] = {0, 0};
  pReader->read(rIdent, sizeof(rIdent));
  char szName[CHUNK_STRING_BUFFER_SIZE];
  const int32_t i32Result = pReader->read_str(szName);
  pStored->m_rClass = ClassIdentC(rIdent[0], rIdent[1]);
  pStored->m_sClassName = szName;
  return i32Result;
}

void patch_file_fixups(ChunkReaderC* pReader, const std::vector<ImportHandleC*>& rHandles) {
  for (int32_t i = 0; i < pReader->get_file_fixup_count(); ++i) {
    const int32_t i32Index = pReader->get_file_fixup_index(i);
    if (i32Index >= 0 && i32Index < static_cast<int32_t>(rHandles.size()) && rHandles[static_cast<size_t>(i32Index)]) {
      *pReader->get_file_fixup_target(i) = rHandles[static_cast<size_t>(i32Index)];
    } else {
      pReader->add_error("Load Doc: FileHandle patching failed.");
    }
  }
}
