#ifndef TESTS_SUPPORT_DOCUMENTFILEC_H
#define TESTS_SUPPORT_DOCUMENTFILEC_H

#include <gtest/gtest.h>

#include <cstdint>

#include "corelib/editablec.h"
#include "docfile/chunkreaderc.h"
#include "docfile/chunkwriterc.h"
#include "tests/support/chunkbytes.h"
#include "tests/support/tempfilec.h"

// A temporary document whose one top-level chunk holds the level an object
// saves and loads, so objects are tested through the real writer and reader.
// The chunk is where a document keeps its scene.
class DocumentFileC : public TempFileC {
 public:
  static constexpr uint32_t TOP_CHUNK_ID = 0x2000;
  static constexpr uint32_t TOP_CHUNK_VERSION = 0x00010000;

  // The top-level chunk holds what rWriteBody(ChunkWriterC&) writes.
  template <class BodyT>
  void write(BodyT&& rWriteBody) const {
    ChunkWriterC rWriter;
    ASSERT_EQ(CHUNK_OK, rWriter.open(path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH));
    rWriter.begin_chunk(TOP_CHUNK_ID, TOP_CHUNK_VERSION);
    rWriteBody(rWriter);
    rWriter.end_chunk();
    ASSERT_EQ(CHUNK_OK, rWriter.close());
  }

  // The object's save result.
  int32_t save(EditableC* pObject) const {
    int32_t i32Result = CHUNK_NOT_OPEN;
    write([&](ChunkWriterC& rWriter) { i32Result = pObject->save(&rWriter); });
    return i32Result;
  }

  // The top-level chunk holds rPayload, made by hand.
  void write_payload(const BytesT& rPayload) const {
    write_bytes(concat({signature_bytes(), chunk(TOP_CHUNK_ID, TOP_CHUNK_VERSION, rPayload)}));
  }

  // What the top-level chunk holds.
  BytesT payload() const {
    BytesT rBytes = read_bytes();
    return BytesT(rBytes.begin() + DOCUMENT_SIGNATURE_LENGTH + CHUNK_HEADER_SIZE, rBytes.end());
  }

  // rLoad(ChunkReaderC*)'s result, run on the top-level chunk through rReader,
  // whose registry and error list stay with the caller.
  template <class LoadT>
  int32_t load_with(ChunkReaderC& rReader, LoadT&& rLoad) const {
    EXPECT_EQ(CHUNK_OK, rReader.open(path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH));
    EXPECT_EQ(CHUNK_OK, rReader.open_chunk());
    int32_t i32Result = rLoad(&rReader);
    rReader.close_chunk();
    return i32Result;
  }

  int32_t load(ChunkReaderC& rReader, EditableC* pObject) const {
    return load_with(rReader, [&](ChunkReaderC* pReader) { return pObject->load(pReader); });
  }

  // Loading without a registry, for objects that create no plug-in classes.
  int32_t load(EditableC* pObject) const {
    ChunkReaderC rReader(nullptr);
    return load(rReader, pObject);
  }
};

#endif
