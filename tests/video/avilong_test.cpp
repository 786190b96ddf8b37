// An OpenDML file above 1 GiB as the ffmpeg command writes it (raw video: a
// second RIFF part "AVIX", indx and ix00 indexes, a main header counting the
// first part only). It takes about a minute to make: label "long".
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/tempfilec.h"
#include "tests/video/readertest.h"

namespace {

TEST(AviLong, OpenDmlAboveOneGibPlaysToItsLastFrame) {
  TempFileC rFile;
  TempFileC rPictures;
  const std::string sMake = std::string("ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=size=1280x720:rate=25 "
                                        "-frames:v 420 -c:v rawvideo -pix_fmt bgr24 -f avi ") + rFile.path();
  ASSERT_EQ(std::system(sMake.c_str()), 0);
  // FFmpeg's own decode of the frames asked for below.
  std::string sSelect;
  for (int32_t i32Frame : {0, 1, 200, 388, 389, 419}) {
    sSelect += (sSelect.empty() ? "" : "+") + std::string("eq(n\\,") + std::to_string(i32Frame) + ")";
  }
  const std::string sDecode = std::string("ffmpeg -nostdin -loglevel error -y -threads 1 -f avi -i ") + rFile.path() +
                              " -vf select='" + sSelect + "' -fps_mode passthrough -f rawvideo -pix_fmt bgr24 " +
                              rPictures.path();
  ASSERT_EQ(std::system(sDecode.c_str()), 0);
  VideoC rVideo(rFile.read_bytes(), rPictures.read_bytes());
  ASSERT_GT(rVideo.m_rFile.size(), 1u << 30);
  ASSERT_NE(find_text(rVideo.m_rFile, "AVIX"), rVideo.m_rFile.size());
  EXPECT_EQ(rVideo.m_rReader.get_frame_count(), 420);
  // Pictures 0 .. 5 of the selection are frames 0, 1, 200, 388, 389, 419.
  const std::vector<std::pair<int32_t, int32_t>> rShown = {{0, 0}, {388, 3}, {389, 4}, {419, 5}, {200, 2}, {1, 1}, {420, 0}};
  for (const auto& rPair : rShown) {
    EXPECT_TRUE(rVideo.shows(rPair.first, rPair.second));
  }
}

}  // namespace
