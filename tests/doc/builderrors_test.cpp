#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/doc/doctoolc.h"

namespace {

class BuildErrorTest : public DocToolTestC {
 protected:
  // Builds the description, which must fail with exactly this message.
  void expect_error(const std::string& rDescription, const std::string& rMessage) {
    write_text(path("wrong.json"), rDescription);
    DocRunS rRun = build("wrong.json", "wrong.doc");
    EXPECT_EQ(1, rRun.m_iExitCode) << rDescription;
    EXPECT_EQ("tiravo-doc: wrong.json: " + rMessage + "\n", rRun.m_sErr) << rDescription;
    EXPECT_FALSE(std::filesystem::exists(path("wrong.doc")));
  }
};

std::string one_effect(const std::string& rEffect) {
  return R"({"files": [{"file_name": "raw.avi"}], "scene": {"layers": [{}, {"effects": [{"class": "Video Player"}, )" +
         rEffect + "]}]}}";
}

TEST_F(BuildErrorTest, ParameterMistakesNameTheirPlace) {
  expect_error(one_effect(R"({"class": "Video Player", "params": {"Transform": {"Scale": [1, 2, 3]}}})"),
               "scene.layers[1].effects[1].params.Transform.Scale: expected two numbers");
  expect_error(one_effect(R"({"class": "Video Player", "params": {"Transform": {"Size": 1}}})"),
               "scene.layers[1].effects[1].params.Transform.Size: the gizmo has no parameter \"Size\" (it has: "
               "Position, Pivot, Rotation, Scale)");
  expect_error(one_effect(R"({"class": "Video Player", "params": {"Look": {}}})"),
               "scene.layers[1].effects[1].params.Look: the effect has no gizmo \"Look\" (it has: Transform, "
               "Attributes, Timing)");
  expect_error(one_effect(R"({"class": "Video Player", "params": {"Attributes": {"Render mode": {"kind": "float"}}}})"),
               "scene.layers[1].effects[1].params.Attributes.Render mode.kind: the parameter is of kind \"int\"");
  expect_error(one_effect(R"({"class": "Video Player", "params": {"Attributes": {"Video": 3}}})"),
               "scene.layers[1].effects[1].params.Attributes.Video: no file 3 in \"files\", which has 1");
  expect_error(one_effect(R"({"class": "Video Player", "params": {"Attributes": {"Fill Color": [1, 2, 0, 1]}}})"),
               "scene.layers[1].effects[1].params.Attributes.Fill Color: expected four numbers from 0 to 1");
  expect_error(one_effect(R"({"class": "Video Player",
                              "params": {"Transform": {"Rotation": {"track": {"keys": [{"time": 0}]}}}}})"),
      "scene.layers[1].effects[1].params.Transform.Rotation.track.keys[0]: expected a member \"value\"");
  expect_error(one_effect(R"({"class": "Video Player",
                              "params": {"Transform": {"Rotation": {"track": {"end_mode": "bounce"}}}}})"),
               "scene.layers[1].effects[1].params.Transform.Rotation.track.end_mode: expected one of \"constant\", "
               "\"repeat\", \"loop\" or a number");
}

TEST_F(BuildErrorTest, ClassAndFileMistakesNameTheirPlace) {
  expect_error(one_effect(R"({"class": "Fog"})"),
               "scene.layers[1].effects[1].class: no plug-in provides the class \"Fog\"");
  expect_error(one_effect(R"({"class": {"id": "0x311832a9:0x166d4653", "name": "Video"}})"),
               "scene.layers[1].effects[1].class: the class 0x311832a9:0x166d4653 is named \"Video Player\", not "
               "\"Video\"");
  expect_error(one_effect(R"({"class": "AVI Animation"})"),
               "scene.layers[1].effects[1].class: no plug-in provides the class \"AVI Animation\"");
  expect_error(R"({"files": [{"file_name": "absent.avi"}]})",
               "files[0].file_name: cannot read ./absent.avi: No such file or directory");
  expect_error(R"({"files": [{"file_name": ""}]})", "files[0].file_name: expected the name of a file to import");
  const std::string sLongName(5000, 'x');
  expect_error(R"({"files": [{"file_name": ")" + sLongName + R"("}]})",
               "files[0].file_name: cannot read ./" + sLongName + ": File name too long");
  write_text(path("notavi.avi"), "RIFF1234WAVE");
  expect_error(R"({"files": [{"file_name": "notavi.avi"}]})",
               "files[0].file_name: the AVI Animation importable cannot import ./notavi.avi");
  expect_error(R"({"scene": {"beats": 3}})", "scene.beats: unknown member");
  expect_error(R"({"scene": {"end_time": 18446744073709551615}})",
               "scene.end_time: expected a whole number from -2147483648 to 2147483647");
  write_text(path("wrong.json"), "{\"scene\": [}");
  DocRunS rRun = build("wrong.json", "wrong.doc");
  EXPECT_EQ(1, rRun.m_iExitCode);
  EXPECT_EQ(0u, rRun.m_sErr.find("tiravo-doc: wrong.json: not JSON: ")) << rRun.m_sErr;

  write_text(path("empty.json"), "{}");
  rRun = build("empty.json", "empty.doc", "--plugins " + sLongName);
  EXPECT_EQ(0, rRun.m_iExitCode);
  EXPECT_EQ("tiravo-doc: warning: no plug-in directory " + sLongName + ": File name too long\n", rRun.m_sErr);
}

// The file name reaches the importable through a scratch document.
TEST_F(BuildErrorTest, AFileNameThatCannotBeStoredSaysWhy) {
  const char* szTemporary = std::getenv("TMPDIR");
  const std::string sTemporary = szTemporary ? szTemporary : "";
  setenv("TMPDIR", path("raw.avi").c_str(), 1);
  expect_error(R"({"files": [{"file_name": "media/clip.avi", "copy": "raw.avi"}]})",
               "files[0].file_name: no temporary directory for the document that names the file: Not a directory");
  if (szTemporary) {
    setenv("TMPDIR", sTemporary.c_str(), 1);
  } else {
    unsetenv("TMPDIR");
  }
}

TEST_F(BuildErrorTest, HelpAndUsage) {
  DocRunS rRun = run_tool("--help");
  EXPECT_EQ(0, rRun.m_iExitCode);
  EXPECT_EQ(0u, rRun.m_sOut.find("Usage: tiravo-doc COMMAND"));
  rRun = run_tool("dump --help");
  EXPECT_EQ(0u, rRun.m_sOut.find("Usage: tiravo-doc dump DOCUMENT"));
  rRun = run_tool("build --help");
  EXPECT_EQ(0u, rRun.m_sOut.find("Usage: tiravo-doc build DESCRIPTION.json -o DOCUMENT"));
  rRun = run_tool("build show.json");
  EXPECT_EQ(2, rRun.m_iExitCode);
  EXPECT_EQ(0u, rRun.m_sErr.find("tiravo-doc: no output document given (-o DOCUMENT)\n"));
  rRun = run_tool("convert x");
  EXPECT_EQ(2, rRun.m_iExitCode);
  EXPECT_EQ(0u, rRun.m_sErr.find("tiravo-doc: unknown command convert\n"));
}

}  // namespace
