#include "tools/tiravo-doc/buildfiles.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "corelib/importablebasec.h"
#include "corelib/importlistc.h"
#include "docfile/chunkreaderc.h"
#include "docfile/chunkwriterc.h"
#include "player/classregistryc.h"
#include "tools/tiravo-doc/classchoice.h"
#include "tools/tiravo-doc/descriptionnodec.h"
#include "tools/tiravo-doc/ownedobject.h"

namespace {

constexpr uint32_t CHUNK_FILE_NAME = 0x1000;
constexpr uint32_t FILE_NAME_VERSION = 1;

std::string lower_case(std::string sText) {
  std::transform(sText.begin(), sText.end(), sText.begin(),
                 [](unsigned char ucChar) { return static_cast<char>(std::tolower(ucChar)); });
  return sText;
}

bool takes_extension(PluginClass::ClassDescC* pDesc, const std::string& rExtension) {
  for (int32_t i = 0; i < pDesc->get_extension_count(); ++i) {
    const char* szExtension = pDesc->get_extension(i);
    if (szExtension && lower_case(szExtension) == rExtension) {
      return true;
    }
  }
  return false;
}

PluginClass::ClassDescC* class_for_extension(const NodeC& rFile, ClassRegistryC* pRegistry, const std::string& rPath) {
  const std::string sExtension = lower_case(std::filesystem::path(rPath).extension().string());
  for (int32_t i = 0; i < pRegistry->get_class_count(); ++i) {
    PluginClass::ClassDescC* pDesc = pRegistry->get_class(i);
    if (pDesc->get_class_kind() == PluginClass::CLASS_KIND_IMPORTABLE && !sExtension.empty() &&
        takes_extension(pDesc, sExtension.substr(1))) {
      return pDesc;
    }
  }
  rFile.fail("no importable class takes files ending in \"" + sExtension + "\"; name one with \"class\"");
}

OwnedT<ImportableBaseC> create_importable(const NodeC& rFile, ClassRegistryC* pRegistry, const std::string& rPath) {
  PluginClass::ClassDescC* pDesc =
      rFile.has("class")
          ? choose_class(rFile.member("class"), pRegistry, PluginClass::CLASS_KIND_IMPORTABLE, true).m_pDesc
          : class_for_extension(rFile, pRegistry, rPath);
  DataObjectC* pObject = pDesc->make_object();
  OwnedT<ImportableBaseC> pImportable(dynamic_cast<ImportableBaseC*>(pObject));
  if (!pImportable) {
    if (pObject) {
      pObject->release();
    }
    rFile.fail(std::string("the class ") + pDesc->get_class_name() + " made no importable");
  }
  return pImportable;
}

// Importables have no setter for the name they store: they learn it from
// their own name chunk, here one written into a scratch document.
bool store_file_name(ImportableBaseC* pImportable, const std::string& rName) {
  char szPath[] = "/tmp/tiravo-doc-name-XXXXXX";
  const int iDescriptor = mkstemp(szPath);
  if (iDescriptor < 0) {
    return false;
  }
  close(iDescriptor);
  ChunkWriterC rWriter;
  rWriter.open(szPath, DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH);
  rWriter.begin_chunk(CHUNK_FILE_NAME, FILE_NAME_VERSION);
  write_str_cut(&rWriter, rName);
  rWriter.end_chunk();
  bool bStored = rWriter.close() == CHUNK_OK;
  if (bStored) {
    ChunkReaderC rReader(nullptr);
    rReader.open(szPath, DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH);
    pImportable->load(&rReader);
    bStored = rName.substr(0, CHUNK_STRING_MAX_LENGTH) == pImportable->get_file_name();
  }
  std::remove(szPath);
  return bStored;
}

std::string resolve(const std::string& rBaseDirectory, const std::string& rPath) {
  const std::filesystem::path rFile(rPath);
  return rFile.is_absolute() ? rPath : (std::filesystem::path(rBaseDirectory) / rFile).string();
}

ImportableBaseC* build_file(const NodeC& rFile, const std::string& rBaseDirectory, ClassRegistryC* pRegistry) {
  rFile.expect_object({"class", "file_name", "copy", "size", "info", "missing_class"});
  if (rFile.has("missing_class")) {
    rFile.member("missing_class").fail("the file's data was not read, since its class was missing");
  }
  const std::string sStoredName = rFile.member("file_name").to_string();
  const NodeC rSource = rFile.has("copy") ? rFile.member("copy") : rFile.member("file_name");
  const std::string sPath = resolve(rBaseDirectory, rSource.to_string());
  if (!std::filesystem::is_regular_file(sPath)) {
    rSource.fail("cannot read " + sPath);
  }
  OwnedT<ImportableBaseC> pImportable = create_importable(rFile, pRegistry, sPath);
  if (!pImportable->load_file(sPath.c_str(), nullptr)) {
    rSource.fail(std::string("the ") + pImportable->get_class_name() + " importable cannot import " + sPath);
  }
  if (sStoredName != pImportable->get_file_name() && !store_file_name(pImportable.get(), sStoredName)) {
    rFile.member("file_name").fail(std::string("the ") + pImportable->get_class_name() +
                                   " importable does not take the name from its name chunk");
  }
  return pImportable.release();
}

}  // namespace

void build_files(const NodeC& rFiles, const std::string& rBaseDirectory, ClassRegistryC* pRegistry,
                 ImportListC* pList) {
  for (const NodeC& rFile : rFiles.items()) {
    pList->add_handle(build_file(rFile, rBaseDirectory, pRegistry));
  }
}

std::vector<DocumentDriverS> build_drivers(const NodeC& rDrivers, ClassRegistryC* pRegistry) {
  std::vector<DocumentDriverS> rResult;
  for (const NodeC& rDriver : rDrivers.items()) {
    rDriver.expect_object({"class", "data"});
    const ClassChoiceS rChoice =
        choose_class(rDriver.member("class"), pRegistry, PluginClass::CLASS_KIND_DEVICE_DRIVER, false);
    DocumentDriverS rEntry{rChoice.m_rClass, rChoice.m_sName, {}};
    if (rDriver.has("data")) {
      std::optional<std::vector<uint8_t>> rData = hex_to_bytes(rDriver.member("data").to_string());
      if (!rData) {
        rDriver.member("data").fail("expected bytes as pairs of hex digits");
      }
      rEntry.m_rData = *rData;
    }
    rResult.push_back(rEntry);
  }
  return rResult;
}

std::vector<DocumentDriverS> default_drivers() {
  return {DocumentDriverS{CLASS_OPENGL_DEVICEDRIVER, OPENGL_DEVICEDRIVER_NAME, {}}};
}
