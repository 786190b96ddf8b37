#include "tools/tiravo-doc/embeddedfiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "description/jsonvalues.h"
#include "docfile/chunkreaderc.h"
#include "corelib/documentchunks.h"
#include "player/documentreading.h"
#include "player/playbackclockc.h"

namespace {

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

// Whether the JSON prints rText as it is: UTF-8 as the JSON library reads
// it, without control characters.
bool prints_as_is(const std::string& rText) {
  if (std::any_of(rText.begin(), rText.end(), [](char c) { return static_cast<uint8_t>(c) < 0x20 || c == 0x7F; })) {
    return false;
  }
  try {
    JsonT(rText).dump();
  } catch (const JsonT::type_error&) {
    return false;
  }
  return true;
}

// The JSON prints names that are not UTF-8 with U+FFFD in place of their
// bytes, so such a name would not lead to the file written under it: the copy
// gets a name of printable ASCII instead.
std::string copy_name(const std::string& rBareName) {
  if (prints_as_is(rBareName)) {
    return rBareName;
  }
  std::string sName = rBareName;
  std::replace_if(
      sName.begin(), sName.end(), [](char c) { return static_cast<uint8_t>(c) < 0x20 || static_cast<uint8_t>(c) > 0x7E; },
      '_');
  return sName;
}

EmbeddedFileS read_importable(ChunkReaderC* pReader) {
  EmbeddedFileS rFile;
  StoredClassS rStored;
  if (read_stored_class(pReader, &rStored) != CHUNK_OK) {
    return rFile;
  }
  while (pReader->open_chunk() == CHUNK_OK) {
    if (pReader->get_chunk_id() == IMPORTABLE_CHUNK_FILE_BYTES &&
        pReader->get_chunk_version() == IMPORTABLE_CHUNK_VERSION) {
      read_file_bytes(pReader, &rFile);
    }
    pReader->close_chunk();
  }
  return rFile;
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
  // "." and ".." would name the directory or its parent.
  std::string sName = copy_name(bare_file_name(rStoredName));
  if (sName.empty() || sName == "." || sName == "..") {
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
