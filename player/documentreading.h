#ifndef PLAYER_DOCUMENTREADING_H
#define PLAYER_DOCUMENTREADING_H

#include <cstdint>
#include <string>
#include <vector>

#include "corelib/classidentc.h"

class ChunkReaderC;
class ImportHandleC;

// The class identifier and name that precede an importable's or a driver's
// data in a document.
struct StoredClassS {
  ClassIdentC m_rClass;
  std::string m_sClassName;
};

int32_t read_stored_class(ChunkReaderC* pReader, StoredClassS* pStored);

// Points the parameters that the reader recorded at their file handles,
// rHandles holding one per stored importable (null for one that could not
// be made); a reference to no handle is an error on the reader.
void patch_file_fixups(ChunkReaderC* pReader, const std::vector<ImportHandleC*>& rHandles);

#endif
