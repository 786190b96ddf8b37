#include "tools/tiravo-doc/embeddedfiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "docfile/chunkreaderc.h"
#include "player/documentchunks.h"

namespace {

constexpr uint32_t CHUNK_FILE_BYTES = 0x2000;
constexpr uint32_t FILE_BYTES_VERSION = 1;
constexpr uint32_t CLASS_IDENT_SIZE = 8;

// The size is believed only as far as the chunk holds bytes.
void read_file_bytes(ChunkReaderC* pReader, EmbeddedFileS* pFile) {
  uint32_t ui32Size = 0;
  const uint32_t ui32ChunkSize = pReader->get_chunk_size();
  if (ui32ChunkSize < sizeof(ui32Size) || pReader->read(&ui32Size, sizeof(ui32Size)) != CHUNK_OK ||
      ui32Size > ui32ChunkSize - sizeof(ui32Size)) {
    return;
  }
  std::vector<uint8_t> rBytes(ui32Size);
  if (ui32Size == 0 || pReader->read(rBytes.data(), ui32Size) == CHUNK_OK) {
    pFile->m_bFound = true;
    pFile->m_rBytes = std::move(rBytes);
  }
}

EmbeddedFileS read_importable(ChunkReaderC* pReader) {
  EmbeddedFileS rFile;
  uint8_t rIdent[CLASS_IDENT_SIZE];
  char szName[CHUNK_STRING_BUFFER_SIZE];
  if (pReader->read(rIdent, sizeof(rIdent)) != CHUNK_OK || pReader->read_str(szName) != CHUNK_OK) {
    return rFile;
  }
  while (pReader->open_chunk() == CHUNK_OK) {
    if (pReader->get_chunk_id() == CHUNK_FILE_BYTES && pReader->get_chunk_version() == FILE_BYTES_VERSION) {
      read_file_bytes(pReader, &rFile);
    }
    pReader->close_chunk();
  }
  return rFile;
}

std::string base_name(const std::string& rStoredName) {
  const size_t uSeparator = rStoredName.find_last_of("/\\:");
  std::string sName = uSeparator == std::string::npos ? rStoredName : rStoredName.substr(uSeparator + 1);
  return sName == "." || sName == ".." ? std::string() : sName;
}

}  // namespace

std::vector<EmbeddedFileS> read_embedded_files(const char* szFileName) {
  std::vector<EmbeddedFileS> rFiles;
  ChunkReaderC rReader(nullptr);
  if (rReader.open(szFileName, DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH) != CHUNK_OK) {
    return rFiles;
  }
  while (rReader.open_chunk() == CHUNK_OK) {
    if (rReader.get_chunk_id() == DOCUMENT_CHUNK_IMPORTABLE && rReader.get_chunk_version() == DOCUMENT_CHUNK_VERSION) {
      rFiles.push_back(read_importable(&rReader));
    }
    rReader.close_chunk();
  }
  return rFiles;
}

std::string write_file_copy(const std::string& rDirectory, const std::string& rStoredName, int32_t i32Index,
                            const std::vector<uint8_t>& rBytes, std::vector<std::string>* pUsedNames,
                            std::string* pError) {
  std::string sName = base_name(rStoredName);
  if (sName.empty()) {
    sName = "file" + std::to_string(i32Index);
  }
  if (std::find(pUsedNames->begin(), pUsedNames->end(), sName) != pUsedNames->end()) {
    sName = std::to_string(i32Index) + "-" + sName;
  }
  pUsedNames->push_back(sName);
  std::error_code rError;
  const std::filesystem::path rPath = std::filesystem::absolute(std::filesystem::path(rDirectory) / sName, rError);
  std::ofstream rOut(rPath, std::ios::binary);
  rOut.write(reinterpret_cast<const char*>(rBytes.data()), static_cast<std::streamsize>(rBytes.size()));
  rOut.close();
  if (rError || !rOut) {
    *pError = "cannot write " + rPath.string();
    return std::string();
  }
  return rPath.lexically_normal().string();
}
