#include "plugins/vernisk/storedfilec.h"

#include <algorithm>
#include <fstream>

#include "docfile/chunkreaderc.h"
#include "docfile/chunkwriterc.h"

namespace {

constexpr uint32_t CHUNK_NAME = 0x1000;
constexpr uint32_t CHUNK_BYTES = 0x2000;
constexpr uint32_t CHUNK_VERSION = 1;

}  // namespace

StoredFileC::BytesT StoredFileC::read_file(const char* szPath, uint32_t ui32MaxSize) {
  if (!szPath) {
    return nullptr;
  }
  std::ifstream rFile(szPath, std::ios::binary | std::ios::ate);
  if (!rFile) {
    return nullptr;
  }
  const std::streamoff iSize = rFile.tellg();
  if (iSize <= 0 || static_cast<uint64_t>(iSize) > ui32MaxSize) {
    return nullptr;
  }
  auto pBytes = std::make_shared<std::vector<uint8_t>>(static_cast<size_t>(iSize));
  rFile.seekg(0);
  if (!rFile.read(reinterpret_cast<char*>(pBytes->data()), iSize)) {
    return nullptr;
  }
  return pBytes;
}

int32_t StoredFileC::save(ChunkWriterC* pWriter) const {
  pWriter->begin_chunk(CHUNK_NAME, CHUNK_VERSION);
  write_str_cut(pWriter, m_sName);
  pWriter->end_chunk();
  pWriter->begin_chunk(CHUNK_BYTES, CHUNK_VERSION);
  const uint32_t ui32Size = get_size();
  int32_t i32Result = pWriter->write(&ui32Size, sizeof(ui32Size));
  if (ui32Size > 0) {
    i32Result = first_failure(i32Result, pWriter->write(m_pBytes->data(), ui32Size));
  }
  return first_failure(i32Result, pWriter->end_chunk());
}

// The stored size is believed only as far as the chunk and the document
// hold bytes, so a damaged size cannot make us allocate gigabytes.
int32_t StoredFileC::load_chunk(ChunkReaderC* pReader, uint32_t ui32Id, uint32_t ui32Version, bool* pBytesRead) {
  *pBytesRead = false;
  if (ui32Version != CHUNK_VERSION) {
    return CHUNK_OK;
  }
  if (ui32Id == CHUNK_NAME) {
    char szName[CHUNK_STRING_BUFFER_SIZE];
    const int32_t i32Result = pReader->read_str(szName);
    m_sName = szName;
    return i32Result;
  }
  if (ui32Id != CHUNK_BYTES) {
    return CHUNK_OK;
  }
  m_pBytes.reset();
  const uint32_t ui32ChunkSize = pReader->get_chunk_size();
  uint32_t ui32Size = 0;
  if (ui32ChunkSize < sizeof(ui32Size)) {
    return CHUNK_DAMAGED;
  }
  int32_t i32Result = pReader->read(&ui32Size, sizeof(ui32Size));
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  const uint32_t ui32Held = std::min(
      {ui32Size, ui32ChunkSize - static_cast<uint32_t>(sizeof(ui32Size)), pReader->get_remaining_size()});
  auto pBytes = std::make_shared<std::vector<uint8_t>>(ui32Held);
  if (ui32Held > 0) {
    i32Result = pReader->read(pBytes->data(), ui32Held);
    if (i32Result != CHUNK_OK) {
      return i32Result;
    }
  }
  m_pBytes = std::move(pBytes);
  *pBytesRead = true;
  return ui32Held < ui32Size ? CHUNK_DAMAGED : CHUNK_OK;
}

void StoredFileC::set(const std::string& rName, BytesT pBytes) {
  m_sName = rName;
  m_pBytes = std::move(pBytes);
}
