#include "description/buildfiles.h"

#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "corelib/importablebasec.h"
#include "corelib/importlistc.h"
#include "corelib/ownedobject.h"
#include "description/classchoice.h"
#include "description/descriptionnodec.h"
#include "corelib/importablechunks.h"
#include "docfile/chunkreaderc.h"
#include "docfile/chunkwriterc.h"
#include "registry/classregistryc.h"

namespace {

bool takes_extension(PluginClass::ClassDescC* pDesc, const std::string& rExtension) {
  for (int32_t i = 0; i < pDesc->get_extension_count(); ++i) {
    const char* szExtension = pDesc->get_extension(i);
    if (szExtension && strcasecmp(szExtension, rExtension.c_str()) == 0) {
      return true;
    }
  }
  return false;
}

PluginClass::ClassDescC* class_for_extension(const NodeC& rFile, ClassRegistryC* pRegistry, const std::string& rPath) {
  const std::string sExtension = std::filesystem::path(rPath).extension().string();
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

// A new empty file in the temporary directory, under a name no other run takes.
std::string make_scratch_file(const NodeC& rName) {
  std::error_code rError;
  const std::filesystem::path rDirectory = std::filesystem::temp_directory_path(rError);
  if (rError) {
    rName.fail("no temporary directory for the document that names the file: " + rError.message());
  }
  std::string sPath = (rDirectory / "tiravo-doc-name-XXXXXX").string();
  const int iDescriptor = mkstemp(sPath.data());
  if (iDescriptor < 0) {
    rName.fail("cannot make a file in " + rDirectory.string() + ": " + std::strerror(errno));
  }
  close(iDescriptor);
  return sPath;
}

int32_t write_name_document(const std::string& rPath, const std::string& rName) {
  ChunkWriterC rWriter;
  int32_t i32Result = rWriter.open(rPath.c_str(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH);
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  i32Result = rWriter.begin_chunk(IMPORTABLE_CHUNK_FILE_NAME, IMPORTABLE_CHUNK_VERSION);
  i32Result = first_failure(i32Result, write_str_cut(&rWriter, rName));
  i32Result = first_failure(i32Result, rWriter.end_chunk());
  return first_failure(i32Result, rWriter.close());
}

// Importables have no setter for the name they store: they learn it from
// their own name chunk, here one written into a scratch document.
void store_file_name(const NodeC& rName, ImportableBaseC* pImportable) {
  const std::string sName = rName.to_string();
  const std::string sPath = make_scratch_file(rName);
  const bool bWritten = write_name_document(sPath, sName) == CHUNK_OK;
  ChunkReaderC rReader(nullptr);
  const bool bOpened =
      bWritten && rReader.open(sPath.c_str(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH) == CHUNK_OK;
  if (bOpened) {
    pImportable->load(&rReader);
  }
  std::remove(sPath.c_str());
  if (!bOpened) {
    rName.fail(std::string("cannot ") + (bWritten ? "read back " : "write ") + sPath +
               ", the document that names the file");
  }
  if (sName.substr(0, CHUNK_STRING_MAX_LENGTH) != pImportable->get_file_name()) {
    rName.fail(std::string("the ") + pImportable->get_class_name() +
               " importable does not take the name from its name chunk");
  }
}

std::string resolve(const std::string& rBaseDirectory, const std::string& rPath) {
  const std::filesystem::path rFile(rPath);
  return rFile.is_absolute() ? rPath : (std::filesystem::path(rBaseDirectory) / rFile).string();
}

ImportableBaseC* build_file(const NodeC& rFile, const std::string& rBaseDirectory, ClassRegistryC* pRegistry,
                            std::vector<std::string>* pPaths) {
  rFile.expect_object({"class", "file_name", "copy", "size", "info", "missing_class"});
  if (rFile.has("missing_class")) {
    rFile.member("missing_class").fail("the file's data was not read, since its class was missing");
  }
  const std::string sStoredName = rFile.member("file_name").to_string();
  const NodeC rSource = rFile.has("copy") ? rFile.member("copy") : rFile.member("file_name");
  // A file that was dumped without bytes (its data was damaged) has nothing to import.
  if (rSource.to_string().empty()) {
    rSource.fail("expected the name of a file to import");
  }
  const std::string sPath = resolve(rBaseDirectory, rSource.to_string());
  pPaths->push_back(sPath);
  std::error_code rError;
  if (!std::filesystem::is_regular_file(sPath, rError)) {
    rSource.fail("cannot read " + sPath + (rError ? ": " + rError.message() : std::string()));
  }
  OwnedT<ImportableBaseC> pImportable = create_importable(rFile, pRegistry, sPath);
  if (!pImportable->load_file(sPath.c_str(), nullptr)) {
    rSource.fail(std::string("the ") + pImportable->get_class_name() + " importable cannot import " + sPath);
  }
  if (sStoredName != pImportable->get_file_name()) {
    store_file_name(rFile.member("file_name"), pImportable.get());
  }
  return pImportable.release();
}

}  // namespace

void build_files(const NodeC& rFiles, const std::string& rBaseDirectory, ClassRegistryC* pRegistry,
                 ImportListC* pList, std::vector<std::string>* pPaths) {
  for (const NodeC& rFile : rFiles.items()) {
    pList->add_handle(build_file(rFile, rBaseDirectory, pRegistry, pPaths));
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
