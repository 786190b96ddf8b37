#ifndef CORELIB_DOCUMENTCHUNKS_H
#define CORELIB_DOCUMENTCHUNKS_H

#include <cstdint>

// The top level of a document: chunks of this version with these ids; any
// other is skipped.
constexpr uint32_t DOCUMENT_CHUNK_VERSION = 0x00010000;
constexpr uint32_t DOCUMENT_CHUNK_IMPORTABLE = 0x1000;
constexpr uint32_t DOCUMENT_CHUNK_SCENE = 0x2000;
constexpr uint32_t DOCUMENT_CHUNK_MUSIC = 0x4000;
constexpr uint32_t DOCUMENT_CHUNK_DEVICE_DRIVER = 0x5000;

#endif
