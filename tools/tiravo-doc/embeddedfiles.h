#ifndef TOOLS_TIRAVO_DOC_EMBEDDEDFILES_H
#define TOOLS_TIRAVO_DOC_EMBEDDEDFILES_H

#include <cstdint>
#include <string>
#include <vector>

#include "corelib/importablechunks.h"

// The bytes of an imported file that a document embeds.
struct EmbeddedFileS {
  bool m_bFound = false;
  std::vector<uint8_t> m_rBytes;
};

// One entry per stored importable, in document order.
std::vector<EmbeddedFileS> read_embedded_files(const char* szFileName);

// Writes rBytes into rDirectory under a name made from the stored file name
// (its base name; the index in front when taken already); the absolute path
// of the copy, or empty after a failure, which *pError then tells.
std::string write_file_copy(const std::string& rDirectory, const std::string& rStoredName, int32_t i32Index,
                            const std::vector<uint8_t>& rBytes, std::vector<std::string>* pUsedNames,
                            std::string* pError);

#endif
