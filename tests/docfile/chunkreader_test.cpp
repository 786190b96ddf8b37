#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "corelib/editablec.h"
#include "docfile/chunkreaderc.h"
#include "docfile/chunkwriterc.h"
#include "player/classregistryc.h"
#include "tests/support/tempfilec.h"

namespace {

using BytesT = std::vector<uint8_t>;

constexpr uint32_t MUSIC_ID = 0x4000;
constexpr uint32_t VERSION_1 = 0x00010000;

void put_u16(BytesT& rBytes, uint16_t ui16Value) {
  rBytes.push_back(static_cast<uint8_t>(ui16Value));
  rBytes.push_back(static_cast<uint8_t>(ui16Value >> 8));
}

void put_u32(BytesT& rBytes, uint32_t ui32Value) {
  put_u16(rBytes, static_cast<uint16_t>(ui32Value));
  put_u16(rBytes, static_cast<uint16_t>(ui32Value >> 16));
}

void put_text(BytesT& rBytes, const std::string& rText) {
  rBytes.insert(rBytes.end(), rText.begin(), rText.end());
}

// ui32Size is the stored size, header included.
void put_header(BytesT& rBytes, uint32_t ui32Id, uint32_t ui32Version, uint32_t ui32Size) {
  put_u32(rBytes, ui32Id);
  put_u32(rBytes, ui32Version);
  put_u32(rBytes, ui32Size);
}

void put_u32_chunk(BytesT& rBytes, uint32_t ui32Id, uint32_t ui32Value) {
  put_header(rBytes, ui32Id, 1, 16);
  put_u32(rBytes, ui32Value);
}

BytesT signature() {
  return BytesT(DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE + DOCUMENT_SIGNATURE_LENGTH);
}

std::string pattern_text(size_t uLength) {
  std::string sText;
  for (size_t u = 0; u < uLength; ++u) {
    sText.push_back(static_cast<char>('a' + u % 26));
  }
  return sText;
}

class ChunkReaderTestC : public ::testing::Test {
 protected:
  void open_bytes(const BytesT& rBytes) {
    m_rFile.write_bytes(rBytes);
    ASSERT_EQ(m_rReader.open(m_rFile.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_OK);
  }

  uint32_t read_u32() {
    uint32_t ui32Value = 0;
    EXPECT_EQ(m_rReader.read(&ui32Value, sizeof(ui32Value)), CHUNK_OK);
    return ui32Value;
  }

  TempFileC m_rFile;
  ChunkReaderC m_rReader{nullptr};
  char m_rText[CHUNK_STRING_BUFFER_SIZE] = {};
};

TEST_F(ChunkReaderTestC, WithoutFileEveryOperationReportsNotOpen) {
  TempFileC rMissing;
  std::remove(rMissing.path());
  EXPECT_EQ(m_rReader.open(rMissing.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_NOT_OPEN);

  uint32_t ui32Value = 0;
  std::strcpy(m_rText, "stale");
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_NOT_OPEN);
  EXPECT_EQ(m_rReader.leave_chunk(), CHUNK_NOT_OPEN);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_NOT_OPEN);
  EXPECT_EQ(m_rReader.read(&ui32Value, sizeof(ui32Value)), CHUNK_NOT_OPEN);
  EXPECT_EQ(m_rReader.read_str(m_rText), CHUNK_NOT_OPEN);
  EXPECT_STREQ(m_rText, "");
  EXPECT_EQ(m_rReader.get_remaining_size(), 0u);
  EXPECT_EQ(m_rReader.get_chunk_depth(), 0);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_OK);
}

TEST_F(ChunkReaderTestC, OpenWhileOpenFailsAndKeepsTheFirstFile) {
  BytesT rFirst = signature();
  put_u32_chunk(rFirst, 0x11, 1);
  open_bytes(rFirst);

  TempFileC rSecond;
  BytesT rSecondBytes = signature();
  put_u32_chunk(rSecondBytes, 0x22, 2);
  rSecond.write_bytes(rSecondBytes);
  EXPECT_EQ(m_rReader.open(rSecond.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_NOT_OPEN);

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_id(), 0x11u);
  EXPECT_EQ(read_u32(), 1u);
}

TEST_F(ChunkReaderTestC, WrongSignatureClosesTheFileForASecondOpen) {
  BytesT rWrong = signature();
  rWrong[13] = 'X';
  put_u32_chunk(rWrong, 0x11, 1);
  m_rFile.write_bytes(rWrong);
  EXPECT_EQ(m_rReader.open(m_rFile.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_WRONG_FORMAT);
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_NOT_OPEN);

  m_rFile.write_bytes(BytesT{'T', 'R', 'U', 'N', 'E'});
  EXPECT_EQ(m_rReader.open(m_rFile.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_WRONG_FORMAT);

  BytesT rRight = signature();
  put_u32_chunk(rRight, 0x11, 1);
  open_bytes(rRight);
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_id(), 0x11u);
}

TEST_F(ChunkReaderTestC, EmptySignatureStartsAtTheFirstByte) {
  BytesT rBytes;
  put_u32_chunk(rBytes, 0x11, 1);
  m_rFile.write_bytes(rBytes);
  ASSERT_EQ(m_rReader.open(m_rFile.path(), "", 0), CHUNK_OK);
  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_id(), 0x11u);
}

TEST_F(ChunkReaderTestC, SignatureOnlyGivesAShortHeaderThatIsNotSticky) {
  open_bytes(signature());
  EXPECT_EQ(m_rReader.get_remaining_size(), 0u);
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_DAMAGED);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_depth(), 0);
}

TEST_F(ChunkReaderTestC, MusicDocumentReadsToTheEndOfTheDocument) {
  BytesT rBytes = signature();
  put_header(rBytes, MUSIC_ID, VERSION_1, 22);
  put_u16(rBytes, 8);
  put_text(rBytes, "MUSIC.XM");
  ASSERT_EQ(rBytes.size(), 36u);
  open_bytes(rBytes);
  EXPECT_EQ(m_rReader.get_remaining_size(), 22u);

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_id(), MUSIC_ID);
  EXPECT_EQ(m_rReader.get_chunk_version(), VERSION_1);
  EXPECT_EQ(m_rReader.get_chunk_size(), 10u);
  EXPECT_EQ(m_rReader.get_chunk_depth(), 1);
  EXPECT_EQ(m_rReader.read_str(m_rText), CHUNK_OK);
  EXPECT_STREQ(m_rText, "MUSIC.XM");

  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_depth(), 0);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_END);
  EXPECT_EQ(m_rReader.get_remaining_size(), 0u);
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_END);
}

TEST_F(ChunkReaderTestC, InnerChunkEndingAtTheFileEndEndsEveryLevel) {
  BytesT rBytes = signature();
  put_header(rBytes, 0x2000, 1, 12 + 16);
  put_u32_chunk(rBytes, 0x1000, 7);
  open_bytes(rBytes);

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(read_u32(), 7u);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_END);

  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_END);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_END);
  EXPECT_EQ(m_rReader.get_chunk_depth(), 1);
}

TEST_F(ChunkReaderTestC, EmptyChunkHasNoPayloadAndNoSubChunks) {
  BytesT rBytes = signature();
  put_header(rBytes, 0x1, 1, 12);
  put_u32_chunk(rBytes, 0x2, 99);
  open_bytes(rBytes);

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_size(), 0u);
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_END);
  EXPECT_EQ(m_rReader.get_chunk_depth(), 1);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_OK);

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_id(), 0x2u);
  EXPECT_EQ(read_u32(), 99u);
}

TEST_F(ChunkReaderTestC, ShortReadIsStickyForEveryLaterOperation) {
  BytesT rBytes = signature();
  put_u32_chunk(rBytes, 0x1, 5);
  open_bytes(rBytes);

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  uint64_t ui64Value = 0;
  EXPECT_EQ(m_rReader.read(&ui64Value, sizeof(ui64Value)), CHUNK_DAMAGED);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_DAMAGED);

  uint32_t ui32Value = 0;
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_DAMAGED);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_DAMAGED);
  EXPECT_EQ(m_rReader.leave_chunk(), CHUNK_DAMAGED);
  EXPECT_EQ(m_rReader.read(&ui32Value, sizeof(ui32Value)), CHUNK_DAMAGED);
  EXPECT_EQ(m_rReader.read_str(m_rText), CHUNK_DAMAGED);
  EXPECT_STREQ(m_rText, "");
  EXPECT_EQ(m_rReader.get_chunk_depth(), 1);
}

TEST_F(ChunkReaderTestC, ZeroLengthStringReadsOnlyItsLength) {
  BytesT rBytes = signature();
  put_header(rBytes, 0x1, 1, 12 + 2 + 4);
  put_u16(rBytes, 0);
  put_u32(rBytes, 42);
  open_bytes(rBytes);

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  std::strcpy(m_rText, "stale");
  EXPECT_EQ(m_rReader.read_str(m_rText), CHUNK_OK);
  EXPECT_STREQ(m_rText, "");
  EXPECT_EQ(read_u32(), 42u);
}

TEST_F(ChunkReaderTestC, CloseChunkContinuesAtTheNextChunkWhateverWasRead) {
  BytesT rBytes = signature();
  put_header(rBytes, 0x1, 1, 12 + 8 + 16);
  put_u32(rBytes, 1);
  put_u32(rBytes, 2);
  put_u32_chunk(rBytes, 0x5, 3);
  put_u32_chunk(rBytes, 0x2, 20);
  put_u32_chunk(rBytes, 0x3, 30);
  open_bytes(rBytes);

  // Part of the payload read, the sub-chunk left unread.
  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(read_u32(), 1u);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);

  // Read on past the chunk's end, into the next chunk's header.
  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_id(), 0x2u);
  uint32_t rBeyond[3] = {};
  EXPECT_EQ(m_rReader.read(rBeyond, sizeof(rBeyond)), CHUNK_OK);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_id(), 0x3u);
  EXPECT_EQ(read_u32(), 30u);
}

TEST_F(ChunkReaderTestC, LeaveChunkDoesNotMarkTheEndOfTheDocument) {
  BytesT rBytes = signature();
  put_u32_chunk(rBytes, 0x1, 1);
  open_bytes(rBytes);

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.leave_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_depth(), 0);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_OK);
  EXPECT_EQ(m_rReader.leave_chunk(), CHUNK_NOT_OPEN);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_NOT_OPEN);
}

TEST_F(ChunkReaderTestC, LoaderLoopSkipsUnknownIdsAndVersionsAtEveryLevel) {
  {
    ChunkWriterC rWriter;
    ASSERT_EQ(rWriter.open(m_rFile.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_OK);
    auto write_u32_chunk = [&rWriter](uint32_t ui32Id, uint32_t ui32Version, uint32_t ui32Value) {
      rWriter.begin_chunk(ui32Id, ui32Version);
      rWriter.write(&ui32Value, sizeof(ui32Value));
      rWriter.end_chunk();
    };
    auto write_str_chunk = [&rWriter](uint32_t ui32Id, uint32_t ui32Version, const char* szText) {
      rWriter.begin_chunk(ui32Id, ui32Version);
      write_str_cut(&rWriter, szText);
      rWriter.end_chunk();
    };
    write_str_chunk(MUSIC_ID, VERSION_1, "first");
    write_u32_chunk(0x7777, VERSION_1, 1);
    write_str_chunk(MUSIC_ID, 0x00020000, "newer version");
    rWriter.begin_chunk(0x2000, VERSION_1);
    write_u32_chunk(0x1000, 1, 11);
    write_u32_chunk(0x5555, 1, 0);
    write_u32_chunk(0x1000, 2, 0);
    write_u32_chunk(0x1000, 1, 12);
    rWriter.end_chunk();
    write_str_chunk(MUSIC_ID, VERSION_1, "last");
    ASSERT_EQ(rWriter.close(), CHUNK_OK);
  }
  ASSERT_EQ(m_rReader.open(m_rFile.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_OK);

  std::vector<std::string> rNames;
  std::vector<uint32_t> rValues;
  auto load_inner = [&](uint32_t ui32Id, uint32_t ui32Version) -> int32_t {
    if (ui32Id != 0x1000 || ui32Version != 1) {
      return CHUNK_OK;
    }
    rValues.push_back(read_u32());
    return m_rReader.get_error();
  };
  auto load_top = [&](uint32_t ui32Id, uint32_t ui32Version) -> int32_t {
    if (ui32Version != VERSION_1) {
      return CHUNK_OK;
    }
    if (ui32Id == MUSIC_ID) {
      int32_t i32Result = m_rReader.read_str(m_rText);
      rNames.emplace_back(m_rText);
      return i32Result;
    }
    if (ui32Id == 0x2000) {
      return load_chunks(&m_rReader, load_inner);
    }
    return CHUNK_OK;
  };

  EXPECT_EQ(load_chunks(&m_rReader, load_top), CHUNK_END);
  EXPECT_EQ(rNames, (std::vector<std::string>{"first", "last"}));
  EXPECT_EQ(rValues, (std::vector<uint32_t>{11, 12}));
  EXPECT_EQ(m_rReader.get_error(), CHUNK_END);
  EXPECT_EQ(m_rReader.get_chunk_depth(), 0);
}

TEST_F(ChunkReaderTestC, SizeBelowHeaderIsDamagedAndNothingIsReadTwice) {
  BytesT rBytes = signature();
  put_u32_chunk(rBytes, 0x1, 10);
  put_header(rBytes, 0x2, 1, 11);
  put_u32_chunk(rBytes, 0x3, 30);
  open_bytes(rBytes);

  std::vector<uint32_t> rIds;
  auto record = [&rIds](uint32_t ui32Id, uint32_t) -> int32_t {
    rIds.push_back(ui32Id);
    return CHUNK_OK;
  };
  EXPECT_EQ(load_chunks(&m_rReader, record), CHUNK_DAMAGED);
  EXPECT_EQ(rIds, std::vector<uint32_t>{0x1});
  EXPECT_EQ(m_rReader.get_chunk_depth(), 0);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_OK);
  // The reader stands just past the damaged header, never before it.
  EXPECT_EQ(m_rReader.get_remaining_size(), 16u);
}

TEST_F(ChunkReaderTestC, ChunkReachingPastItsParentIsDamagedAndNotEntered) {
  BytesT rBytes = signature();
  put_header(rBytes, 0x1, 1, 12 + 16);
  put_header(rBytes, 0x2, 1, 100);
  put_u32(rBytes, 0);
  put_u32_chunk(rBytes, 0x3, 30);
  open_bytes(rBytes);

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_DAMAGED);
  EXPECT_EQ(m_rReader.get_chunk_depth(), 1);
  EXPECT_EQ(m_rReader.get_chunk_id(), 0x1u);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_id(), 0x3u);
  EXPECT_EQ(read_u32(), 30u);
}

TEST_F(ChunkReaderTestC, TruncatedTopLevelChunkIsDamagedRatherThanTheEnd) {
  BytesT rBytes = signature();
  put_u32_chunk(rBytes, 0x1, 10);
  put_header(rBytes, 0x2, 1, 12 + 32);
  put_u32(rBytes, 0);
  open_bytes(rBytes);

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_DAMAGED);
  EXPECT_EQ(m_rReader.get_chunk_depth(), 0);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_OK);
}

TEST_F(ChunkReaderTestC, OverlongStringKeeps255CharactersAndItsPlace) {
  std::string sLong = pattern_text(300);
  BytesT rBytes = signature();
  put_header(rBytes, 0x1, 1, 12 + 2 + 300 + 4);
  put_u16(rBytes, 300);
  put_text(rBytes, sLong);
  put_u32(rBytes, 77);
  open_bytes(rBytes);

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.read_str(m_rText), CHUNK_OK);
  EXPECT_EQ(std::string(m_rText), sLong.substr(0, 255));
  EXPECT_EQ(read_u32(), 77u);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_OK);
}

TEST_F(ChunkReaderTestC, StringRunningPastTheFileIsStickyAndStillTerminated) {
  // The rest of an overlong field is missing.
  BytesT rSkipMissing = signature();
  put_header(rSkipMissing, 0x1, 1, 12 + 2 + 260);
  put_u16(rSkipMissing, 300);
  put_text(rSkipMissing, pattern_text(260));
  open_bytes(rSkipMissing);
  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.read_str(m_rText), CHUNK_DAMAGED);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_DAMAGED);
  EXPECT_EQ(std::string(m_rText), pattern_text(255));

  // The kept part itself comes short.
  ChunkReaderC rReader(nullptr);
  BytesT rTextMissing = signature();
  put_header(rTextMissing, 0x1, 1, 12 + 2 + 4);
  put_u16(rTextMissing, 300);
  put_text(rTextMissing, "abcd");
  TempFileC rFile;
  rFile.write_bytes(rTextMissing);
  ASSERT_EQ(rReader.open(rFile.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_OK);
  ASSERT_EQ(rReader.open_chunk(), CHUNK_OK);
  std::memset(m_rText, 'x', sizeof(m_rText));
  EXPECT_EQ(rReader.read_str(m_rText), CHUNK_DAMAGED);
  EXPECT_EQ(rReader.get_error(), CHUNK_DAMAGED);
  EXPECT_STREQ(m_rText, "abcd");
}

TEST(ChunkReaderC, FixupsErrorsAndRegistryAreKeptInOrder) {
  ClassRegistryC rRegistry;
  ChunkReaderC rReader(&rRegistry);
  EXPECT_EQ(rReader.get_class_registry(), &rRegistry);
  EXPECT_EQ(rReader.get_file_fixup_count(), 0);
  EXPECT_EQ(rReader.get_error_count(), 0);

  ImportHandleC* pFirst = nullptr;
  ImportHandleC* pSecond = nullptr;
  rReader.add_file_fixup(&pFirst, 3);
  rReader.add_file_fixup(&pSecond, 0);
  ASSERT_EQ(rReader.get_file_fixup_count(), 2);
  EXPECT_EQ(rReader.get_file_fixup_target(0), &pFirst);
  EXPECT_EQ(rReader.get_file_fixup_index(0), 3);
  EXPECT_EQ(rReader.get_file_fixup_target(1), &pSecond);
  EXPECT_EQ(rReader.get_file_fixup_index(1), 0);
  EXPECT_EQ(rReader.get_file_fixup_target(2), nullptr);
  EXPECT_EQ(rReader.get_file_fixup_target(-1), nullptr);

  char rMessage[32] = "first";
  rReader.add_error(rMessage);
  std::strcpy(rMessage, "changed");
  rReader.add_error("second");
  ASSERT_EQ(rReader.get_error_count(), 2);
  EXPECT_STREQ(rReader.get_error_text(0), "first");
  EXPECT_STREQ(rReader.get_error_text(1), "second");
  EXPECT_EQ(rReader.get_error_text(2), nullptr);
  EXPECT_EQ(rReader.get_error(), CHUNK_OK);
}

}  // namespace
