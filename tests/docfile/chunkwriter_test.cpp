#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "docfile/chunkreaderc.h"
#include "docfile/chunkwriterc.h"
#include "tests/support/chunkbytes.h"
#include "tests/support/tempfilec.h"

namespace {

class ChunkWriterTestC : public ::testing::Test {
 protected:
  void open_writer() {
    ASSERT_EQ(m_rWriter.open(m_rFile.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_OK);
  }

  void open_reader() {
    ASSERT_EQ(m_rReader.open(m_rFile.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_OK);
  }

  void write_u32(uint32_t ui32Value) { EXPECT_EQ(m_rWriter.write(&ui32Value, sizeof(ui32Value)), CHUNK_OK); }

  void expect_chunk(uint32_t ui32Id, uint32_t ui32Version, uint32_t ui32PayloadSize, int32_t i32Depth) {
    ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
    EXPECT_EQ(m_rReader.get_chunk_id(), ui32Id);
    EXPECT_EQ(m_rReader.get_chunk_version(), ui32Version);
    EXPECT_EQ(m_rReader.get_chunk_size(), ui32PayloadSize);
    EXPECT_EQ(m_rReader.get_chunk_depth(), i32Depth);
  }

  TempFileC m_rFile;
  ChunkWriterC m_rWriter;
  ChunkReaderC m_rReader{nullptr};
  char m_rText[CHUNK_STRING_BUFFER_SIZE] = {};
};

TEST_F(ChunkWriterTestC, MusicDocumentIsWrittenByteForByte) {
  open_writer();
  EXPECT_EQ(m_rWriter.begin_chunk(0x4000, 0x00010000), CHUNK_OK);
  EXPECT_EQ(write_str_cut(&m_rWriter, "MUSIC.XM"), CHUNK_OK);
  EXPECT_EQ(m_rWriter.end_chunk(), CHUNK_OK);
  ASSERT_EQ(m_rWriter.close(), CHUNK_OK);

  std::vector<uint8_t> rExpected = {'T', 'R', 'U', 'N', 'E', '|', 'V', 'O', 'L', 'S', 'K', 'R',
                                    'A', 'T', 0x00, 0x40, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x16, 0x00,
                                    0x00, 0x00, 0x08, 0x00, 'M', 'U', 'S', 'I', 'C', '.', 'X', 'M'};
  EXPECT_EQ(m_rFile.read_bytes(), rExpected);
}

TEST_F(ChunkWriterTestC, NestedChunksReadBackWithTheirSizesAndDepths) {
  open_writer();
  m_rWriter.begin_chunk(0x2000, 1);
  write_u32(0xA1);
  m_rWriter.begin_chunk(0x10, 2);
  write_u32(0xB1);
  m_rWriter.end_chunk();
  m_rWriter.begin_chunk(0x11, 3);
  m_rWriter.begin_chunk(0x12, 4);
  m_rWriter.end_chunk();
  m_rWriter.end_chunk();
  m_rWriter.end_chunk();
  m_rWriter.begin_chunk(0x4000, 5);
  write_u32(0xE1);
  m_rWriter.end_chunk();
  ASSERT_EQ(m_rWriter.close(), CHUNK_OK);

  open_reader();
  expect_chunk(0x2000, 1, 4 + 16 + 24, 1);
  EXPECT_EQ(read_u32(m_rReader), 0xA1u);
  expect_chunk(0x10, 2, 4, 2);
  EXPECT_EQ(read_u32(m_rReader), 0xB1u);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);
  expect_chunk(0x11, 3, 12, 2);
  expect_chunk(0x12, 4, 0, 3);
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_END);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_END);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_END);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_OK);
  expect_chunk(0x4000, 5, 4, 1);
  EXPECT_EQ(read_u32(m_rReader), 0xE1u);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_END);
}

TEST_F(ChunkWriterTestC, OperationsNeedAnOpenFileAndAnOpenChunk) {
  uint32_t ui32Value = 1;
  EXPECT_EQ(m_rWriter.begin_chunk(1, 1), CHUNK_NOT_OPEN);
  EXPECT_EQ(m_rWriter.end_chunk(), CHUNK_NOT_OPEN);
  EXPECT_EQ(m_rWriter.write(&ui32Value, sizeof(ui32Value)), CHUNK_NOT_OPEN);
  EXPECT_EQ(m_rWriter.write_str("text"), CHUNK_NOT_OPEN);
  EXPECT_EQ(m_rWriter.write_str(std::string(70000, 'x').c_str()), CHUNK_NOT_OPEN);
  EXPECT_EQ(m_rWriter.close(), CHUNK_NOT_OPEN);
  EXPECT_EQ(m_rWriter.get_error(), CHUNK_OK);

  std::string sNoDirectory = std::string(m_rFile.path()) + ".missing/data";
  EXPECT_EQ(m_rWriter.open(sNoDirectory.c_str(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_NOT_OPEN);

  open_writer();
  EXPECT_EQ(m_rWriter.end_chunk(), CHUNK_NOT_OPEN);
  TempFileC rOther;
  EXPECT_EQ(m_rWriter.open(rOther.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_NOT_OPEN);
  m_rWriter.begin_chunk(0x1, 1);
  m_rWriter.end_chunk();
  EXPECT_EQ(m_rWriter.close(), CHUNK_OK);
  EXPECT_EQ(m_rFile.read_bytes().size(), 14u + 12u);
}

TEST_F(ChunkWriterTestC, CloseWithAChunkStillOpenFails) {
  open_writer();
  m_rWriter.begin_chunk(0x1, 1);
  write_u32(5);
  EXPECT_EQ(m_rWriter.close(), CHUNK_DAMAGED);
  EXPECT_EQ(m_rWriter.close(), CHUNK_NOT_OPEN);

  // A later save starts clean.
  open_writer();
  EXPECT_EQ(m_rWriter.get_error(), CHUNK_OK);
  m_rWriter.begin_chunk(0x2, 1);
  write_u32(6);
  m_rWriter.end_chunk();
  EXPECT_EQ(m_rWriter.close(), CHUNK_OK);
  open_reader();
  expect_chunk(0x2, 1, 4, 1);
  EXPECT_EQ(read_u32(m_rReader), 6u);
}

TEST_F(ChunkWriterTestC, StringLengthFieldLimitsAreKept) {
  open_writer();
  m_rWriter.begin_chunk(0x1, 1);
  EXPECT_EQ(m_rWriter.write_str(std::string(65535, 'y').c_str()), CHUNK_OK);
  write_u32(7);
  EXPECT_EQ(write_str_cut(&m_rWriter, std::string(300, 'z')), CHUNK_OK);
  write_u32(8);
  m_rWriter.end_chunk();
  ASSERT_EQ(m_rWriter.close(), CHUNK_OK);

  open_reader();
  expect_chunk(0x1, 1, 2 + 65535 + 4 + 2 + 255 + 4, 1);
  EXPECT_EQ(m_rReader.read_str(m_rText), CHUNK_OK);
  EXPECT_EQ(std::string(m_rText), std::string(255, 'y'));
  EXPECT_EQ(read_u32(m_rReader), 7u);
  EXPECT_EQ(m_rReader.read_str(m_rText), CHUNK_OK);
  EXPECT_EQ(std::string(m_rText), std::string(255, 'z'));
  EXPECT_EQ(read_u32(m_rReader), 8u);
}

TEST_F(ChunkWriterTestC, OverlongStringFailsAndTheFailureIsSticky) {
  open_writer();
  m_rWriter.begin_chunk(0x1, 1);
  EXPECT_EQ(m_rWriter.write_str(std::string(65536, 'x').c_str()), CHUNK_DAMAGED);
  EXPECT_EQ(m_rWriter.get_error(), CHUNK_DAMAGED);
  uint32_t ui32Value = 1;
  EXPECT_EQ(m_rWriter.write(&ui32Value, sizeof(ui32Value)), CHUNK_DAMAGED);
  EXPECT_EQ(m_rWriter.begin_chunk(0x2, 1), CHUNK_DAMAGED);
  EXPECT_EQ(m_rWriter.end_chunk(), CHUNK_DAMAGED);
  EXPECT_EQ(m_rWriter.close(), CHUNK_DAMAGED);
}

}  // namespace
