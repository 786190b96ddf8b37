#include "description/descriptionfile.h"

#include <filesystem>
#include <fstream>

#include "description/builddocument.h"
#include "description/descriptionnodec.h"

namespace {

bool read_description(const std::string& rPath, JsonT* pDescription, std::string* pError) {
  std::ifstream rIn(rPath);
  if (!rIn) {
    *pError = "cannot read " + rPath;
    return false;
  }
  try {
    *pDescription = JsonT::parse(rIn);
  } catch (const JsonT::parse_error& rError) {
    *pError = rPath + ": not JSON: " + rError.what();
    return false;
  }
  return true;
}

}  // namespace

bool build_description_file(const std::string& rPath, ClassRegistryC* pRegistry, BuiltDocumentC* pDocument,
                            std::string* pError) {
  JsonT rDescription;
  if (!read_description(rPath, &rDescription, pError)) {
    return false;
  }
  const std::string sBase = std::filesystem::path(rPath).parent_path().string();
  try {
    build_document(rDescription, sBase.empty() ? "." : sBase, pRegistry, pDocument);
  } catch (const DescriptionErrorC& rError) {
    *pError = rPath + ": " + rError.what();
    return false;
  }
  return true;
}
