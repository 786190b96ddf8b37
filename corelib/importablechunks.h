#ifndef CORELIB_IMPORTABLECHUNKS_H
#define CORELIB_IMPORTABLECHUNKS_H

#include <cstdint>

// How fliksel's importables lay out their chunks, which the importable
// interface does not show: the file name as stored, and the bytes of the
// imported file (the size as uint32, then the bytes).
constexpr uint32_t IMPORTABLE_CHUNK_FILE_NAME = 0x1000;
constexpr uint32_t IMPORTABLE_CHUNK_FILE_BYTES = 0x2000;
constexpr uint32_t IMPORTABLE_CHUNK_VERSION = 1;

#endif
