#ifndef DESCRIPTION_DESCRIPTIONFILE_H
#define DESCRIPTION_DESCRIPTIONFILE_H

#include <string>

class BuiltDocumentC;
class ClassRegistryC;

// Reads the JSON description in rPath and builds its document through the
// registry's classes; the files it names are relative to its directory.
// False, with *pError telling the file and, for a description that cannot
// be built, the JSON path and what was expected there.
bool build_description_file(const std::string& rPath, ClassRegistryC* pRegistry, BuiltDocumentC* pDocument,
                            std::string* pError);

#endif
