#include "docfile/chunkwriterc.h"

#include <cstring>
#include <limits>

#include "docfile/chunkreaderc.h"

namespace {

constexpr int64_t CHUNK_SIZE_FIELD_OFFSET = 8;

}  // namespace

ChunkWriterC::ChunkWriterC() = default;

ChunkWriterC::~ChunkWriterC() {
  close();
}

int32_t ChunkWriterC::open(const char* szFileName, const char* szSignature, int32_t i32SignatureLength) {
  if (m_pFile || i32SignatureLength < 0) {
    return CHUNK_NOT_OPEN;
  }
  m_pFile = std::fopen(szFileName, "wb");
  if (!m_pFile) {
    return CHUNK_NOT_OPEN;
  }
  m_rChunkStarts.clear();
  m_i32Error = CHUNK_OK;
  size_t uLength = static_cast<size_t>(i32SignatureLength);
  if (std::fwrite(szSignature, 1, uLength, m_pFile) != uLength) {
    return fail(CHUNK_DAMAGED);
  }
  return CHUNK_OK;
}

int32_t ChunkWriterC::close() {
  if (!m_pFile) {
    return CHUNK_NOT_OPEN;
  }
  if (!m_rChunkStarts.empty()) {
    fail(CHUNK_DAMAGED);
  }
  if (std::fclose(m_pFile) != 0) {
    fail(CHUNK_DAMAGED);
  }
  m_pFile = nullptr;
  m_rChunkStarts.clear();
  return m_i32Error;
}

int32_t ChunkWriterC::get_error() {
  return m_i32Error;
}

int32_t ChunkWriterC::begin_chunk(uint32_t ui32Id, uint32_t ui32Version) {
  if (!m_pFile) {
    return CHUNK_NOT_OPEN;
  }
  if (m_i32Error != CHUNK_OK) {
    return m_i32Error;
  }
  m_rChunkStarts.push_back(static_cast<int64_t>(ftello(m_pFile)));
  // The size is filled in by end_chunk.
  const uint32_t rHeader[3] = {ui32Id, ui32Version, 0};
  return write(rHeader, sizeof(rHeader));
}

int32_t ChunkWriterC::end_chunk() {
  if (!m_pFile || m_rChunkStarts.empty()) {
    return CHUNK_NOT_OPEN;
  }
  int64_t i64Start = m_rChunkStarts.back();
  m_rChunkStarts.pop_back();
  if (m_i32Error != CHUNK_OK) {
    return m_i32Error;
  }
  int64_t i64End = static_cast<int64_t>(ftello(m_pFile));
  int64_t i64Size = i64End - i64Start;
  if (i64Size < static_cast<int64_t>(CHUNK_HEADER_SIZE) || i64Size > std::numeric_limits<uint32_t>::max()) {
    return fail(CHUNK_DAMAGED);
  }
  uint32_t ui32Size = static_cast<uint32_t>(i64Size);
  if (fseeko(m_pFile, i64Start + CHUNK_SIZE_FIELD_OFFSET, SEEK_SET) != 0 ||
      std::fwrite(&ui32Size, 1, sizeof(ui32Size), m_pFile) != sizeof(ui32Size) ||
      fseeko(m_pFile, i64End, SEEK_SET) != 0) {
    return fail(CHUNK_DAMAGED);
  }
  return CHUNK_OK;
}

int32_t ChunkWriterC::write(const void* pData, uint32_t ui32Size) {
  if (!m_pFile) {
    return CHUNK_NOT_OPEN;
  }
  if (m_i32Error != CHUNK_OK) {
    return m_i32Error;
  }
  if (std::fwrite(pData, 1, ui32Size, m_pFile) != ui32Size) {
    return fail(CHUNK_DAMAGED);
  }
  return CHUNK_OK;
}

int32_t ChunkWriterC::write_str(const char* szText) {
  if (!m_pFile) {
    return CHUNK_NOT_OPEN;
  }
  size_t uLength = std::strlen(szText);
  // The length field has 16 bits; a longer text cannot be stored.
  if (uLength > std::numeric_limits<uint16_t>::max()) {
    return fail(CHUNK_DAMAGED);
  }
  uint16_t ui16Length = static_cast<uint16_t>(uLength);
  int32_t i32Result = write(&ui16Length, sizeof(ui16Length));
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  return write(szText, static_cast<uint32_t>(uLength));
}

int32_t ChunkWriterC::fail(int32_t i32Code) {
  if (m_i32Error == CHUNK_OK) {
    m_i32Error = i32Code;
  }
  return m_i32Error;
}
