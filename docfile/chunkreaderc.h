#ifndef DOCFILE_CHUNKREADERC_H
#define DOCFILE_CHUNKREADERC_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class ClassRegistryC;
class ImportHandleC;

// Result codes shared by the reader, the writer and every loader.
enum ChunkResultE : int32_t {
  CHUNK_OK = 0,
  CHUNK_END = 1,          // no more chunks at this level, or end of the document
  CHUNK_EOF = 2,          // stream already at end of file before a chunk header
  CHUNK_NOT_OPEN = 3,     // no file (or no chunk) open, or the file cannot be opened
  CHUNK_DAMAGED = 5,      // short read, damaged data, or a class that cannot be created
  CHUNK_WRONG_FORMAT = 6  // signature mismatch
};

// The 14 bytes every document starts with (no terminator is stored).
constexpr const char* DOCUMENT_SIGNATURE = "TRUNE|VOLSKRAT";
constexpr int32_t DOCUMENT_SIGNATURE_LENGTH = 14;

// Id, version and size: what precedes every chunk's payload.
constexpr uint32_t CHUNK_HEADER_SIZE = 12;

// Every string field is read into a buffer of this size by its callers.
constexpr int32_t CHUNK_STRING_BUFFER_SIZE = 256;

// Reads a document: a signature, then a tree of tagged, versioned, size-prefixed
// chunks. Loaders share its error list, its file fixups and the class registry.
class ChunkReaderC {
 public:
  explicit ChunkReaderC(ClassRegistryC* pRegistry);
  ChunkReaderC(const ChunkReaderC&) = delete;
  ChunkReaderC& operator=(const ChunkReaderC&) = delete;

  virtual ~ChunkReaderC();
  virtual int32_t open(const char* szFileName, const char* szSignature, int32_t i32SignatureLength);
  virtual int32_t close();
  virtual int32_t open_chunk();
  virtual uint32_t get_chunk_id();
  virtual uint32_t get_chunk_version();
  virtual uint32_t get_chunk_size();
  virtual int32_t get_chunk_depth();
  virtual int32_t leave_chunk();
  virtual int32_t close_chunk();
  virtual int32_t read(void* pBuffer, uint32_t ui32Size);
  // pBuffer must hold CHUNK_STRING_BUFFER_SIZE bytes; longer fields are cut.
  virtual int32_t read_str(char* pBuffer);
  virtual int32_t get_error();
  virtual void add_file_fixup(ImportHandleC** ppTarget, int32_t i32SavedIndex);
  virtual int32_t get_file_fixup_count();
  virtual ImportHandleC** get_file_fixup_target(int32_t i32Index);
  virtual int32_t get_file_fixup_index(int32_t i32Index);
  virtual ClassRegistryC* get_class_registry();
  virtual int32_t get_error_count();
  virtual const char* get_error_text(int32_t i32Index);
  virtual void add_error(const char* szText);
  // Bytes between the current position and the end of the file: the most that
  // a count or size read from the document may justify allocating.
  virtual uint32_t get_remaining_size();

 private:
  struct ChunkRecordS {
    uint32_t m_ui32Id;
    uint32_t m_ui32Version;
    uint32_t m_ui32Size;   // payload size: stored size - 12
    int64_t m_i64End;      // absolute offset just past the payload
  };
  struct FileFixupS {
    int32_t m_i32SavedIndex;
    ImportHandleC** m_ppTarget;
  };

  int32_t check_readable();
  int64_t tell();

  FILE* m_pFile = nullptr;
  std::vector<ChunkRecordS> m_rChunks;
  std::vector<FileFixupS> m_rFileFixups;
  std::vector<std::string> m_rErrors;
  int32_t m_i32Depth = 0;
  int32_t m_i32Error = CHUNK_OK;
  int64_t m_i64FileSize = 0;
  ClassRegistryC* m_pRegistry;
};

#endif
