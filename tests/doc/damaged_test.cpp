#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "corelib/layerc.h"
#include "corelib/ownedobject.h"
#include "corelib/scenec.h"
#include "docfile/chunkwriterc.h"
#include "tests/doc/doctoolc.h"
#include "tools/tiravo-doc/doccommands.h"
#include "tools/tiravo-doc/documentwalk.h"
#include "tools/tiravo-doc/dumpregistryc.h"

namespace {

constexpr const char* SMALL_DESCRIPTION = R"({
  "scene": { "layers": [ { "name": "Only", "time_segment": [0, 4096], "effects": [
      { "class": "Video Player", "params": { "Attributes": { "Video": 0 } } },
      { "class": "Test Rectangle", "params": { "Rectangle": { "Min": [10, 20] } } } ] } ] },
  "files": [ {"file_name": "raw.avi"} ] })";

class DamagedDocumentTest : public DocToolTestC {
 protected:
  void SetUp() override {
    write_text(path("small.json"), SMALL_DESCRIPTION);
    DocRunS rBuild = build("small.json", "small.doc");
    ASSERT_EQ(0, rBuild.m_iExitCode) << rBuild.m_sErr;
    m_sDocument = read_text(path("small.doc"));
  }

  // A damaged document ends the dump with 1 and a message, never a crash,
  // also when its files are extracted; what is printed is JSON.
  void expect_clean_failure(const std::string& rBytes, const std::string& rWhat) {
    write_text(path("damaged.doc"), rBytes);
    DocRunS rRun = run_tool("dump damaged.doc --extract extracted");
    ASSERT_EQ(1, rRun.m_iExitCode) << rWhat << "\n" << rRun.m_sErr;
    EXPECT_NE(std::string::npos, rRun.m_sErr.find("tiravo-doc: damaged.doc: ")) << rWhat;
    if (!rRun.m_sOut.empty()) {
      EXPECT_EQ("tiravo-doc 1", JsonT::parse(rRun.m_sOut)["format"]) << rWhat;
    }
  }

  std::string m_sDocument;
};

TEST_F(DamagedDocumentTest, AMissingPluginCostsOnlyWhatItsClassesHold) {
  DocRunS rRun = run_tool("dump small.doc --plugins plugins-without-fliksel");
  ASSERT_EQ(0, rRun.m_iExitCode) << rRun.m_sErr;
  EXPECT_NE(std::string::npos,
            rRun.m_sErr.find("warning: no plug-in in plugins-without-fliksel provides the class Video Player "
                             "(0x311832a9:0x166d4653)"));
  const JsonT rDump = JsonT::parse(rRun.m_sOut);
  const JsonT& rEffects = rDump["scene"]["layers"][0]["effects"];
  EXPECT_EQ(true, rEffects[0]["missing_class"]);
  EXPECT_EQ(JsonT::parse("[10.0, 20.0]"), rEffects[1]["params"]["Rectangle"]["Min"]["value"]);
  EXPECT_EQ(true, rDump["files"][0]["missing_class"]);
  const JsonT& rMissing = rDump["uninterpreted"];
  ASSERT_EQ(2u, rMissing.size());
  EXPECT_EQ("files[0]", rMissing[0]["where"]);
  EXPECT_EQ("AVI Animation", rMissing[0]["class"]["name"]);
  EXPECT_EQ("scene.layers[0].effects[0]", rMissing[1]["where"]);
  EXPECT_EQ("missing class", rMissing[1]["reason"]);

  write_text(path("missing.json"), rRun.m_sOut);
  rRun = build("missing.json", "missing.doc");
  EXPECT_EQ(1, rRun.m_iExitCode);
  EXPECT_NE(std::string::npos, rRun.m_sErr.find("files[0].missing_class: the file's data was not read"));
}

TEST_F(DamagedDocumentTest, TruncatedDocumentsFailCleanly) {
  for (size_t uLength = 14; uLength < m_sDocument.size(); uLength += m_sDocument.size() / 11) {
    expect_clean_failure(m_sDocument.substr(0, uLength), "cut at " + std::to_string(uLength));
  }
}

// In this process, to try every byte of the document's structure: the
// chunks around the video's bytes, and the start of those. The files are
// extracted, as dump --extract does after the walk.
TEST_F(DamagedDocumentTest, FlippedBytesNeverCrashTheDump) {
  DumpRegistryC rRegistry;
  testing::internal::CaptureStderr();
  rRegistry.load_plugins(path("plugins").c_str());
  testing::internal::GetCapturedStderr();
  const std::string sVideo = read_text(path("raw.avi"));
  const size_t uVideoStart = m_sDocument.find(sVideo);
  ASSERT_NE(std::string::npos, uVideoStart);
  DocCommandLineS rLine;
  rLine.m_sInput = path("flipped.doc");
  rLine.m_sExtractDirectory = path("flipped-files");
  std::filesystem::create_directory(rLine.m_sExtractDirectory);
  for (size_t uPosition = 14; uPosition < m_sDocument.size(); ++uPosition) {
    if (uPosition == uVideoStart + 64) {
      uPosition = uVideoStart + sVideo.size();
    }
    std::string sBytes = m_sDocument;
    sBytes[uPosition] = static_cast<char>(~sBytes[uPosition]);
    write_text(path("flipped.doc"), sBytes);
    LoadedDocumentC rDocument;
    const int32_t i32Result = walk_document(rLine.m_sInput.c_str(), &rRegistry, &rDocument);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int iExitCode = dump_loaded(rLine, rDocument, i32Result);
    testing::internal::GetCapturedStderr();
    const std::string sJson = testing::internal::GetCapturedStdout();
    EXPECT_LE(iExitCode, DOC_EXIT_FAILED) << "byte " << uPosition;
    EXPECT_EQ("tiravo-doc 1", JsonT::parse(sJson)["format"]) << "byte " << uPosition;
  }
}

TEST_F(DamagedDocumentTest, ForeignAndMissingFilesAreNamedAsSuch) {
  DocRunS rRun = run_tool("dump raw.avi");
  EXPECT_EQ(1, rRun.m_iExitCode);
  EXPECT_EQ("", rRun.m_sOut);
  EXPECT_EQ("tiravo-doc: raw.avi: it is not a presentation document (its signature is wrong)\n", rRun.m_sErr);
  rRun = run_tool("dump nowhere.doc");
  EXPECT_EQ(1, rRun.m_iExitCode);
  EXPECT_EQ("tiravo-doc: nowhere.doc: cannot open it\n", rRun.m_sErr);
  expect_clean_failure(m_sDocument.substr(0, 14), "signature only");
}

// Chunks nobody reads, at three levels, and one read only in part.
TEST_F(DamagedDocumentTest, ChunksNobodyReadsAreListedWhereTheyWere) {
  OwnedT<LayerC> pLayer(LayerC::create_layer());
  pLayer->set_name("L");
  ChunkWriterC rWriter;
  ASSERT_EQ(CHUNK_OK, rWriter.open(path("extra.doc").c_str(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH));
  const auto write_chunk = [&](uint32_t ui32Id, uint32_t ui32Version, const std::string& rPayload) {
    rWriter.begin_chunk(ui32Id, ui32Version);
    rWriter.write(rPayload.data(), static_cast<uint32_t>(rPayload.size()));
    rWriter.end_chunk();
  };
  rWriter.begin_chunk(0x2000, 0x00010000);
  rWriter.begin_chunk(0x2000, 1);
  pLayer->save(&rWriter);
  write_chunk(0x4444, 2, "abcd");
  rWriter.end_chunk();
  write_chunk(0x7777, 1, "12345");
  rWriter.end_chunk();
  rWriter.begin_chunk(0x4000, 0x00010000);
  rWriter.write_str("a.ogg");
  rWriter.write("tail!!", 6);
  rWriter.end_chunk();
  write_chunk(0x9999, 1, "xyz");
  ASSERT_EQ(CHUNK_OK, rWriter.close());

  const JsonT rDump = dump("extra.doc");
  EXPECT_EQ("a.ogg", rDump["music"]);
  EXPECT_EQ(JsonT::parse(R"([
    {"where": "scene.layers[0]", "chunks": [], "id": "0x00004444", "version": "0x00000002", "size": 16,
     "reason": "unknown chunk"},
    {"where": "scene", "chunks": [], "id": "0x00007777", "version": "0x00000001", "size": 17,
     "reason": "unknown chunk"},
    {"where": "document", "chunks": [], "id": "0x00004000", "version": "0x00010000", "size": 25,
     "reason": "unread bytes", "unread": 6},
    {"where": "document", "chunks": [], "id": "0x00009999", "version": "0x00000001", "size": 15,
     "reason": "unknown chunk"}])"),
            rDump["uninterpreted"]);
}

}  // namespace
