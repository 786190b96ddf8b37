#ifndef DESCRIPTION_BUILDFILES_H
#define DESCRIPTION_BUILDFILES_H

#include <string>
#include <vector>

#include "description/documentsaving.h"

class ClassRegistryC;
class ImportListC;
class NodeC;

// Imports each described file with its importable and adds it to the list;
// relative paths are relative to rBaseDirectory. The paths read are added
// to *pPaths.
void build_files(const NodeC& rFiles, const std::string& rBaseDirectory, ClassRegistryC* pRegistry,
                 ImportListC* pList, std::vector<std::string>* pPaths);
std::vector<DocumentDriverS> build_drivers(const NodeC& rDrivers, ClassRegistryC* pRegistry);
// What the player makes when a document names no driver.
std::vector<DocumentDriverS> default_drivers();

#endif
