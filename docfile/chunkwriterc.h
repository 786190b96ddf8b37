#ifndef DOCFILE_CHUNKWRITERC_H
#define DOCFILE_CHUNKWRITERC_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Writes a document that ChunkReaderC reads back: the signature, then chunks
// whose sizes are filled in when each chunk ends. Results use ChunkResultE;
// the first failure is sticky.
class ChunkWriterC {
 public:
  ChunkWriterC();
  ChunkWriterC(const ChunkWriterC&) = delete;
  ChunkWriterC& operator=(const ChunkWriterC&) = delete;

  virtual ~ChunkWriterC();
  virtual int32_t open(const char* szFileName, const char* szSignature, int32_t i32SignatureLength);
  // Fails with CHUNK_DAMAGED when chunks are still open or a write failed.
  virtual int32_t close();
  virtual int32_t get_error();
  virtual int32_t begin_chunk(uint32_t ui32Id, uint32_t ui32Version);
  virtual int32_t end_chunk();
  virtual int32_t write(const void* pData, uint32_t ui32Size);
  // Callers cut strings to at most 255 characters first.
  virtual int32_t write_str(const char* szText);

 private:
  int32_t fail(int32_t i32Code);

  FILE* m_pFile = nullptr;
  std::vector<int64_t> m_rChunkStarts;  // offsets of the open chunks' headers
  int32_t m_i32Error = 0;
};

// Longest string a document stores; readers pass 256-byte buffers.
constexpr uint32_t CHUNK_STRING_MAX_LENGTH = 255;

// The writer's error is sticky, so once a write fails the later ones fail
// too: of a sequence of results the first failure is the one worth reporting.
inline int32_t first_failure(int32_t i32Result, int32_t i32Next) {
  return i32Result != 0 ? i32Result : i32Next;
}

// write_str of the text's first CHUNK_STRING_MAX_LENGTH characters.
inline int32_t write_str_cut(ChunkWriterC* pWriter, const std::string& rText) {
  return pWriter->write_str(rText.substr(0, CHUNK_STRING_MAX_LENGTH).c_str());
}

#endif
