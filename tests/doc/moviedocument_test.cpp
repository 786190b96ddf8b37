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

}  // namespace
