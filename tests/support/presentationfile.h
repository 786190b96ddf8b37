#ifndef TESTS_SUPPORT_PRESENTATIONFILE_H
#define TESTS_SUPPORT_PRESENTATIONFILE_H

#include <gtest/gtest.h>

#include "docfile/chunkwriterc.h"
#include "tests/support/presentationchunks.h"
#include "tests/support/tempfilec.h"

// A whole document; rWriteChunks(ChunkWriterC&) writes the top-level chunks.
template <class BodyT>
void write_document(const TempFileC& rFile, BodyT&& rWriteChunks) {
  ChunkWriterC rWriter;
  ASSERT_EQ(CHUNK_OK, rWriter.open(rFile.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH));
  rWriteChunks(rWriter);
  ASSERT_EQ(CHUNK_OK, rWriter.close());
}

#endif
