// tiravo-doc with the "Movie" importable: build picks it by extension (or
// by the class a description names), dump shows it as it shows AVI files,
// and the whole movie comes back out byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/doc/doctoolc.h"

namespace {

const char* const MOVIE_CLASS_ID = "0x5c3e91d4:0x27b8a06f";

class MovieDocumentTest : public DocToolTestC {
 protected:
  static void SetUpTestSuite() {
    DocToolTestC::SetUpTestSuite();
    for (const char* szName : {"mp4_h264.mp4", "mov_qtrle.mov", "mkv_ffv1.mkv", "webm_vp9_alpha.webm",
                               "ogv_theora.ogv", "notes.txt"}) {
      std::filesystem::copy_file(matrix(szName), path(szName));
    }
    for (const char* szName : {"3gp_h263.3gp", "3g2_mpeg4.3g2", "mp4_mpeg4.mp4"}) {
      if (std::filesystem::exists(matrix(szName))) {
        std::filesystem::copy_file(matrix(szName), path(szName));
      }
    }
    std::filesystem::copy_file(matrix("webm_vp9.webm"), path("clip.video"));
    std::filesystem::copy_file(matrix("notes.txt"), path("notes.mp4"));
  }
  static std::string matrix(const std::string& rName) { return TIRAVO_MOVIE_MATRIX "/" + rName; }
};

TEST_F(MovieDocumentTest, BuildMakesMoviesByExtensionOrByClassAndDumpShowsThem) {
  write_text(path("movies.json"), R"({ "files": [
    {"file_name": "mp4_h264.mp4"}, {"file_name": "mov_qtrle.mov"}, {"file_name": "mkv_ffv1.mkv"},
    {"file_name": "webm_vp9_alpha.webm"}, {"file_name": "ogv_theora.ogv"},
    {"file_name": "clip.video", "class": "Movie"}, {"file_name": "raw.avi"} ],
  "scene": {"layers": [{"effects": [{"class": "Video Player", "params": {"Attributes": {"Video": 3}}}]}]} })");
  DocRunS rBuild = build("movies.json", "movies.doc");
  ASSERT_EQ(0, rBuild.m_iExitCode) << rBuild.m_sErr;
  // The VP9 decoder with alpha announces itself below the error level.
  EXPECT_EQ("", rBuild.m_sErr);
  const JsonT rDump = dump("movies.doc", "--extract copies");
  const JsonT& rFiles = rDump["files"];
  ASSERT_EQ(7u, rFiles.size());
  const char* const szInfos[] = {"64 x 64 x 24BPP @ 25.0 FPS", "64 x 64 x 32BPP @ 25.0 FPS",
                                 "64 x 64 x 24BPP @ 25.0 FPS", "64 x 64 x 32BPP @ 25.0 FPS",
                                 "64 x 64 x 24BPP @ 25.0 FPS", "64 x 64 x 24BPP @ 25.0 FPS"};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(JsonT::parse(std::string(R"({"id": ")") + MOVIE_CLASS_ID + R"(", "name": "Movie"})"),
              rFiles[i]["class"])
        << i;
    EXPECT_EQ(szInfos[i], rFiles[i]["info"]) << i;
    const std::string sOriginal = read_text(path(rFiles[i]["file_name"]));
    EXPECT_EQ(sOriginal.size(), rFiles[i]["size"]) << i;
    EXPECT_TRUE(sOriginal == read_text(rFiles[i]["copy"])) << i;
  }
  EXPECT_EQ("AVI Animation", rFiles[6]["class"]["name"]);
  // A 25 frames per second movie assigned to a player sets its play rate.
  EXPECT_EQ(25.0, rDump["scene"]["layers"][0]["effects"][0]["params"]["Timing"]["FPS"]["value"]);
  EXPECT_TRUE(rDump["uninterpreted"].empty());

  write_text(path("movies-again.json"), rDump.dump());
  rBuild = build("movies-again.json", "movies-again.doc");
  ASSERT_EQ(0, rBuild.m_iExitCode) << rBuild.m_sErr;
  EXPECT_TRUE(read_text(path("movies.doc")) == read_text(path("movies-again.doc")));
}

TEST_F(MovieDocumentTest, FilesThatAreNoMovieAreRefusedByName) {
  write_text(path("text.json"), R"({"files": [{"file_name": "notes.mp4"}]})");
  DocRunS rRun = build("text.json", "text.doc");
  EXPECT_NE(0, rRun.m_iExitCode);
  EXPECT_EQ("tiravo-doc: text.json: files[0].file_name: the Movie importable cannot import ./notes.mp4\n",
            rRun.m_sErr);
  write_text(path("named.json"), R"({"files": [{"file_name": "notes.txt", "class": "Movie"}]})");
  rRun = build("named.json", "named.doc");
  EXPECT_NE(0, rRun.m_iExitCode);
  EXPECT_EQ("tiravo-doc: named.json: files[0].file_name: the Movie importable cannot import ./notes.txt\n",
            rRun.m_sErr);
}

// Phone files: H.263 and MPEG-4 Part 2 in 3GP, 3G2 and MP4, taken by their
// extension and shown at the size their first picture has.
TEST_F(MovieDocumentTest, PhoneFilesAreMoviesByExtension) {
  if (!std::filesystem::exists(path("3gp_h263.3gp")) || !std::filesystem::exists(path("3g2_mpeg4.3g2"))) {
    GTEST_SKIP() << "the installed ffmpeg cannot make H.263 or MPEG-4 Part 2";
  }
  write_text(path("phone.json"), R"({"files": [{"file_name": "3gp_h263.3gp"}, {"file_name": "3g2_mpeg4.3g2"},
    {"file_name": "mp4_mpeg4.mp4"}]})");
  DocRunS rBuild = build("phone.json", "phone.doc");
  ASSERT_EQ(0, rBuild.m_iExitCode) << rBuild.m_sErr;
  EXPECT_EQ("", rBuild.m_sErr);
  const JsonT rFiles = dump("phone.doc")["files"];
  ASSERT_EQ(3u, rFiles.size());
  EXPECT_EQ("Movie", rFiles[0]["class"]["name"]);
  EXPECT_EQ("128 x 96 x 24BPP @ 25.0 FPS", rFiles[0]["info"]);
  EXPECT_EQ("Movie", rFiles[1]["class"]["name"]);
  EXPECT_EQ("64 x 64 x 24BPP @ 25.0 FPS", rFiles[1]["info"]);
  EXPECT_EQ("64 x 64 x 24BPP @ 25.0 FPS", rFiles[2]["info"]);
}

// A document whose video cannot be decoded dumps as before, and standard
// error names the file and why, once.
TEST_F(MovieDocumentTest, DumpSaysWhichVideoCannotBePlayedAndWhy) {
  write_text(path("codec.json"), R"({"files": [{"file_name": "mjpeg.avi"}, {"file_name": "mp4_h264.mp4"}]})");
  ASSERT_EQ(0, build("codec.json", "codec.doc").m_iExitCode);
  // The AVI's codec renamed, in its stream header and its format.
  std::string sDocument = read_text(path("codec.doc"));
  for (size_t uiAt = sDocument.find("MJPG"); uiAt != std::string::npos; uiAt = sDocument.find("MJPG", uiAt)) {
    sDocument.replace(uiAt, 4, "QQQQ");
  }
  // The movie's codec renamed in its sample description (and its brands).
  for (size_t uiAt = sDocument.find("avc1"); uiAt != std::string::npos; uiAt = sDocument.find("avc1", uiAt)) {
    sDocument.replace(uiAt, 4, "qqqq");
  }
  write_text(path("codec.doc"), sDocument);
  DocRunS rRun = run_tool("dump codec.doc");
  ASSERT_EQ(0, rRun.m_iExitCode) << rRun.m_sErr;
  EXPECT_EQ("fliksel: the video mjpeg.avi cannot be played: no decoder for the codec \"QQQQ\" (handler "
            "\"QQQQ\")\nfliksel: the video mp4_h264.mp4 cannot be played: no decoder for the codec \"qqqq\"\n",
            rRun.m_sErr);
  EXPECT_EQ("0 x 0 x 0BPP @ 0.0 FPS", JsonT::parse(rRun.m_sOut)["files"][1]["info"]);
}

}  // namespace
