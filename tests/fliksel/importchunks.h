#ifndef TESTS_FLIKSEL_IMPORTCHUNKS_H
#define TESTS_FLIKSEL_IMPORTCHUNKS_H

#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/chunkbytes.h"

// The chunks of fliksel's importables, made by hand: chunk 0x1000 the file
// name, chunk 0x2000 the file's size and bytes.

inline BytesT file_bytes(const std::string& rPath) {
  std::ifstream rIn(rPath, std::ios::binary);
  return BytesT(std::istreambuf_iterator<char>(rIn), std::istreambuf_iterator<char>());
}

inline BytesT stored_string(const std::string& rText) {
  return concat({bytes_of(static_cast<uint16_t>(rText.size())), text_bytes(rText)});
}

inline BytesT stored_file(const std::string& rName, const BytesT& rFile) {
  return concat({chunk(0x1000, 1, stored_string(rName)),
                 chunk(0x2000, 1, concat({bytes_of(static_cast<uint32_t>(rFile.size())), rFile}))});
}

#endif
