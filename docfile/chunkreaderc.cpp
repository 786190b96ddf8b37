#include "docfile/chunkreaderc.h"

#include <algorithm>
#include <limits>

ChunkReaderC::ChunkReaderC(ClassRegistryC* pRegistry) : m_pRegistry(pRegistry) {}

ChunkReaderC::~ChunkReaderC() {
  close();
}

int32_t ChunkReaderC::open(const char* szFileName, const char* szSignature, int32_t i32SignatureLength) {
  if (m_pFile || i32SignatureLength < 0) {
    return CHUNK_NOT_OPEN;
  }
  m_pFile = std::fopen(szFileName, "rb");
  if (!m_pFile) {
    return CHUNK_NOT_OPEN;
  }
  std::vector<char> rSignature(static_cast<size_t>(i32SignatureLength));
  size_t uRead = std::fread(rSignature.data(), 1, rSignature.size(), m_pFile);
  if (uRead != rSignature.size() || !std::equal(rSignature.begin(), rSignature.end(), szSignature)) {
    close();
    return CHUNK_WRONG_FORMAT;
  }
  fseeko(m_pFile, 0, SEEK_END);
  m_i64FileSize = tell();
  fseeko(m_pFile, i32SignatureLength, SEEK_SET);
  return CHUNK_OK;
}

int32_t ChunkReaderC::close() {
  if (m_pFile) {
    std::fclose(m_pFile);
    m_pFile = nullptr;
  }
  return CHUNK_OK;
}

int32_t ChunkReaderC::open_chunk() {
  if (m_i32Error != CHUNK_OK) {
    return m_i32Error;
  }
  if (!m_pFile) {
    return CHUNK_NOT_OPEN;
  }
  int64_t i64Position = tell();
  if (!m_rChunks.empty() && i64Position >= m_rChunks.back().m_i64End) {
    return CHUNK_END;
  }
  if (std::feof(m_pFile)) {
    return CHUNK_EOF;
  }
  uint32_t rHeader[3];
  if (std::fread(rHeader, 1, sizeof(rHeader), m_pFile) != sizeof(rHeader)) {
    return CHUNK_DAMAGED;
  }
  // A size below the header would end the chunk before its own payload, and a
  // chunk reaching past its parent would make the parent seek backwards: both
  // are damaged data, and neither is entered. The file bounds the top level,
  // so a truncated document fails instead of ending early as if complete.
  if (rHeader[2] < CHUNK_HEADER_SIZE) {
    return CHUNK_DAMAGED;
  }
  int64_t i64End = i64Position + rHeader[2];
  int64_t i64ParentEnd = m_rChunks.empty() ? m_i64FileSize : m_rChunks.back().m_i64End;
  if (i64End > i64ParentEnd) {
    return CHUNK_DAMAGED;
  }
  m_rChunks.push_back({rHeader[0], rHeader[1], rHeader[2] - CHUNK_HEADER_SIZE, i64End});
  m_i32Depth = static_cast<int32_t>(m_rChunks.size());
  return CHUNK_OK;
}

uint32_t ChunkReaderC::get_chunk_id() {
  return m_rChunks.empty() ? 0 : m_rChunks.back().m_ui32Id;
}

uint32_t ChunkReaderC::get_chunk_version() {
  return m_rChunks.empty() ? 0 : m_rChunks.back().m_ui32Version;
}

uint32_t ChunkReaderC::get_chunk_size() {
  return m_rChunks.empty() ? 0 : m_rChunks.back().m_ui32Size;
}

int32_t ChunkReaderC::get_chunk_depth() {
  return m_i32Depth;
}

int32_t ChunkReaderC::leave_chunk() {
  if (m_i32Error != CHUNK_OK) {
    return m_i32Error;
  }
  if (!m_pFile || m_rChunks.empty()) {
    return CHUNK_NOT_OPEN;
  }
  fseeko(m_pFile, m_rChunks.back().m_i64End, SEEK_SET);
  m_rChunks.pop_back();
  m_i32Depth = static_cast<int32_t>(m_rChunks.size());
  return CHUNK_OK;
}

int32_t ChunkReaderC::close_chunk() {
  if (m_i32Error != CHUNK_OK) {
    return m_i32Error;
  }
  if (!m_pFile || m_rChunks.empty()) {
    return CHUNK_NOT_OPEN;
  }
  leave_chunk();
  if (tell() >= m_i64FileSize) {
    m_i32Error = CHUNK_END;
  }
  return CHUNK_OK;
}

int32_t ChunkReaderC::read(void* pBuffer, uint32_t ui32Size) {
  int32_t i32Result = check_readable();
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  if (std::fread(pBuffer, 1, ui32Size, m_pFile) != ui32Size) {
    m_i32Error = CHUNK_DAMAGED;
    return m_i32Error;
  }
  return CHUNK_OK;
}

int32_t ChunkReaderC::read_str(char* pBuffer) {
  // Some loaders use the text whatever the result: it is always terminated.
  pBuffer[0] = '\0';
  int32_t i32Result = check_readable();
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  uint16_t ui16Length = 0;
  if (std::fread(&ui16Length, 1, sizeof(ui16Length), m_pFile) != sizeof(ui16Length)) {
    m_i32Error = CHUNK_DAMAGED;
    return m_i32Error;
  }
  // Writers store at most 255 characters; of a longer field the rest is passed
  // over so that the reader keeps its place.
  uint32_t ui32Kept = std::min<uint32_t>(ui16Length, CHUNK_STRING_BUFFER_SIZE - 1);
  size_t uRead = std::fread(pBuffer, 1, ui32Kept, m_pFile);
  pBuffer[uRead] = '\0';
  if (uRead != ui32Kept) {
    m_i32Error = CHUNK_DAMAGED;
    return m_i32Error;
  }
  uint32_t ui32Skipped = ui16Length - ui32Kept;
  if (ui32Skipped > get_remaining_size()) {
    m_i32Error = CHUNK_DAMAGED;
    return m_i32Error;
  }
  fseeko(m_pFile, ui32Skipped, SEEK_CUR);
  return CHUNK_OK;
}

int32_t ChunkReaderC::get_error() {
  return m_i32Error;
}

void ChunkReaderC::add_file_fixup(ImportHandleC** ppTarget, int32_t i32SavedIndex) {
  m_rFileFixups.push_back({i32SavedIndex, ppTarget});
}

int32_t ChunkReaderC::get_file_fixup_count() {
  return static_cast<int32_t>(m_rFileFixups.size());
}

ImportHandleC** ChunkReaderC::get_file_fixup_target(int32_t i32Index) {
  if (i32Index < 0 || i32Index >= get_file_fixup_count()) {
    return nullptr;
  }
  return m_rFileFixups[static_cast<size_t>(i32Index)].m_ppTarget;
}

int32_t ChunkReaderC::get_file_fixup_index(int32_t i32Index) {
  if (i32Index < 0 || i32Index >= get_file_fixup_count()) {
    return -1;
  }
  return m_rFileFixups[static_cast<size_t>(i32Index)].m_i32SavedIndex;
}

ClassRegistryC* ChunkReaderC::get_class_registry() {
  return m_pRegistry;
}

int32_t ChunkReaderC::get_error_count() {
  return static_cast<int32_t>(m_rErrors.size());
}

const char* ChunkReaderC::get_error_text(int32_t i32Index) {
  if (i32Index < 0 || i32Index >= get_error_count()) {
    return nullptr;
  }
  return m_rErrors[static_cast<size_t>(i32Index)].c_str();
}

void ChunkReaderC::add_error(const char* szText) {
  m_rErrors.emplace_back(szText);
}

uint32_t ChunkReaderC::get_remaining_size() {
  if (!m_pFile) {
    return 0;
  }
  int64_t i64Remaining = m_i64FileSize - tell();
  return static_cast<uint32_t>(std::clamp<int64_t>(i64Remaining, 0, std::numeric_limits<uint32_t>::max()));
}

int32_t ChunkReaderC::check_readable() {
  if (m_i32Error != CHUNK_OK) {
    return m_i32Error;
  }
  if (!m_pFile || m_rChunks.empty()) {
    return CHUNK_NOT_OPEN;
  }
  return CHUNK_OK;
}

int64_t ChunkReaderC::tell() {
  return static_cast<int64_t>(ftello(m_pFile));
}
