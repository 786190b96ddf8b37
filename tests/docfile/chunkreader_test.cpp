#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "corelib/editablec.h"
#include "docfile/chunkreaderc.h"
#include "docfile/chunkwriterc.h"
#include "registry/classregistryc.h"
#include "tests/support/chunkbytes.h"
#include "tests/support/tempfilec.h"

namespace {

constexpr uint32_t MUSIC_ID = 0x4000;
constexpr uint32_t VERSION_1 = 0x00010000;

BytesT u32_chunk(uint32_t ui32Id, uint32_t ui32Value) { return chunk(ui32Id, 1, bytes_of(ui32Value)); }

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
  open_bytes(concat({signature_bytes(), u32_chunk(0x11, 1)}));

  TempFileC rSecond;
  rSecond.write_bytes(concat({signature_bytes(), u32_chunk(0x22, 2)}));
  EXPECT_EQ(m_rReader.open(rSecond.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_NOT_OPEN);

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_id(), 0x11u);
  EXPECT_EQ(read_u32(m_rReader), 1u);
}

TEST_F(ChunkReaderTestC, WrongSignatureClosesTheFileForASecondOpen) {
  BytesT rWrong = concat({signature_bytes(), u32_chunk(0x11, 1)});
  rWrong[13] = 'X';
  m_rFile.write_bytes(rWrong);
  EXPECT_EQ(m_rReader.open(m_rFile.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_WRONG_FORMAT);
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_NOT_OPEN);

  m_rFile.write_bytes(BytesT{'T', 'R', 'U', 'N', 'E'});
  EXPECT_EQ(m_rReader.open(m_rFile.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_WRONG_FORMAT);

  open_bytes(concat({signature_bytes(), u32_chunk(0x11, 1)}));
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_id(), 0x11u);
}

TEST_F(ChunkReaderTestC, EmptySignatureStartsAtTheFirstByte) {
  m_rFile.write_bytes(u32_chunk(0x11, 1));
  ASSERT_EQ(m_rReader.open(m_rFile.path(), "", 0), CHUNK_OK);
  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_id(), 0x11u);
}

TEST_F(ChunkReaderTestC, SignatureOnlyGivesAShortHeaderThatIsNotSticky) {
  open_bytes(signature_bytes());
  EXPECT_EQ(m_rReader.get_remaining_size(), 0u);
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_DAMAGED);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_depth(), 0);
}

TEST_F(ChunkReaderTestC, MusicDocumentReadsToTheEndOfTheDocument) {
  BytesT rBytes =
      concat({signature_bytes(), chunk(MUSIC_ID, VERSION_1, concat({bytes_of<uint16_t>(8), text_bytes("MUSIC.XM")}))});
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
  open_bytes(concat({signature_bytes(), chunk(0x2000, 1, u32_chunk(0x1000, 7))}));

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(read_u32(m_rReader), 7u);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_END);

  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_END);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_END);
  EXPECT_EQ(m_rReader.get_chunk_depth(), 1);
}

TEST_F(ChunkReaderTestC, EmptyChunkHasNoPayloadAndNoSubChunks) {
  open_bytes(concat({signature_bytes(), chunk(0x1, 1, BytesT()), u32_chunk(0x2, 99)}));

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_size(), 0u);
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_END);
  EXPECT_EQ(m_rReader.get_chunk_depth(), 1);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_OK);

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_id(), 0x2u);
  EXPECT_EQ(read_u32(m_rReader), 99u);
}

TEST_F(ChunkReaderTestC, ShortReadIsStickyForEveryLaterOperation) {
  open_bytes(concat({signature_bytes(), u32_chunk(0x1, 5)}));

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
  open_bytes(concat({signature_bytes(), chunk(0x1, 1, concat({bytes_of<uint16_t>(0), bytes_of<uint32_t>(42)}))}));

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  std::strcpy(m_rText, "stale");
  EXPECT_EQ(m_rReader.read_str(m_rText), CHUNK_OK);
  EXPECT_STREQ(m_rText, "");
  EXPECT_EQ(read_u32(m_rReader), 42u);
}

TEST_F(ChunkReaderTestC, CloseChunkContinuesAtTheNextChunkWhateverWasRead) {
  BytesT rFirst = concat({bytes_of<uint32_t>(1), bytes_of<uint32_t>(2), u32_chunk(0x5, 3)});
  open_bytes(concat({signature_bytes(), chunk(0x1, 1, rFirst), u32_chunk(0x2, 20), u32_chunk(0x3, 30)}));

  // Part of the payload read, the sub-chunk left unread.
  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(read_u32(m_rReader), 1u);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);

  // Read on past the chunk's end, into the next chunk's header.
  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_id(), 0x2u);
  uint32_t rBeyond[3] = {};
  EXPECT_EQ(m_rReader.read(rBeyond, sizeof(rBeyond)), CHUNK_OK);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_id(), 0x3u);
  EXPECT_EQ(read_u32(m_rReader), 30u);
}

TEST_F(ChunkReaderTestC, LeaveChunkDoesNotMarkTheEndOfTheDocument) {
  open_bytes(concat({signature_bytes(), u32_chunk(0x1, 1)}));

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
    rValues.push_back(read_u32(m_rReader));
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
  open_bytes(concat({signature_bytes(), u32_chunk(0x1, 10), chunk_header(0x2, 1, 11), u32_chunk(0x3, 30)}));

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
  BytesT rOverlong = concat({chunk_header(0x2, 1, 100), bytes_of<uint32_t>(0)});
  open_bytes(concat({signature_bytes(), chunk(0x1, 1, rOverlong), u32_chunk(0x3, 30)}));

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_DAMAGED);
  EXPECT_EQ(m_rReader.get_chunk_depth(), 1);
  EXPECT_EQ(m_rReader.get_chunk_id(), 0x1u);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.get_chunk_id(), 0x3u);
  EXPECT_EQ(read_u32(m_rReader), 30u);
}

TEST_F(ChunkReaderTestC, TruncatedTopLevelChunkIsDamagedRatherThanTheEnd) {
  open_bytes(concat({signature_bytes(), u32_chunk(0x1, 10), chunk_header(0x2, 1, 12 + 32), bytes_of<uint32_t>(0)}));

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.close_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.open_chunk(), CHUNK_DAMAGED);
  EXPECT_EQ(m_rReader.get_chunk_depth(), 0);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_OK);
}

TEST_F(ChunkReaderTestC, OverlongStringKeeps255CharactersAndItsPlace) {
  std::string sLong = pattern_text(300);
  BytesT rPayload = concat({bytes_of<uint16_t>(300), text_bytes(sLong), bytes_of<uint32_t>(77)});
  open_bytes(concat({signature_bytes(), chunk(0x1, 1, rPayload)}));

  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.read_str(m_rText), CHUNK_OK);
  EXPECT_EQ(std::string(m_rText), sLong.substr(0, 255));
  EXPECT_EQ(read_u32(m_rReader), 77u);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_OK);
}

TEST_F(ChunkReaderTestC, StringRunningPastTheFileIsStickyAndStillTerminated) {
  // The rest of an overlong field is missing.
  BytesT rSkipMissing = concat({bytes_of<uint16_t>(300), text_bytes(pattern_text(260))});
  open_bytes(concat({signature_bytes(), chunk(0x1, 1, rSkipMissing)}));
  ASSERT_EQ(m_rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(m_rReader.read_str(m_rText), CHUNK_DAMAGED);
  EXPECT_EQ(m_rReader.get_error(), CHUNK_DAMAGED);
  EXPECT_EQ(std::string(m_rText), pattern_text(255));

  // The kept part itself comes short.
  ChunkReaderC rReader(nullptr);
  TempFileC rFile;
  rFile.write_bytes(concat({signature_bytes(), chunk(0x1, 1, concat({bytes_of<uint16_t>(300), text_bytes("abcd")}))}));
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
