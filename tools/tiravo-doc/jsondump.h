#ifndef TOOLS_TIRAVO_DOC_JSONDUMP_H
#define TOOLS_TIRAVO_DOC_JSONDUMP_H

#include <string>
#include <vector>

#include "description/jsonvalues.h"

class LoadedDocumentC;

// What a dump knows of an embedded file besides the importable: its size
// (absent when no file chunk was found) and the path of its extracted copy.
struct FileDumpS {
  bool m_bHasSize = false;
  uint64_t m_ui64Size = 0;
  std::string m_sCopy;
};

// The whole document in the full form; rFiles has one entry per stored
// importable.
JsonT dump_document(const LoadedDocumentC& rDocument, const std::vector<FileDumpS>& rFiles);

#endif
