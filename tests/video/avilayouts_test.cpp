// AVI files as other programs lay them out: video as the second stream,
// sound ahead of the first frame, OpenDML parts, headers that undercount,
// frames that bring no picture, palette changes, unfinished captures, odd
// sizes without padding, indexes without key-frame flags. Each is written
// here from the frames of a clip the ffmpeg command made, and each picture
// must equal the ffmpeg command's own decode of the written file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/aviwriter.h"
#include "tests/support/tempfilec.h"
#include "tests/video/readertest.h"

namespace {

using AviWriterN::ChunkC;
using AviWriterN::LayoutC;

std::string run(const std::string& sCommand) {
  std::string sOutput;
  FILE* pPipe = popen(sCommand.c_str(), "r");
  char rBuffer[4096];
  for (size_t uiRead; pPipe != nullptr && (uiRead = std::fread(rBuffer, 1, sizeof(rBuffer), pPipe)) > 0;) {
    sOutput.append(rBuffer, uiRead);
  }
  EXPECT_TRUE(pPipe != nullptr && pclose(pPipe) == 0) << sCommand;
  return sOutput;
}

// The ffmpeg command's pictures of a file, placed by their time stamps, one
// per frame: a frame that brought no picture repeats the one before. Pictures
// without a stamp (the last ones of a stream with B-frames) follow the one
// before. bFromFirst takes the first stamp off every stamp.
BytesT ffmpeg_pictures(const BytesT& rFile, size_t uiFrames, bool bFromFirst = false) {
  TempFileC rIn;
  TempFileC rOut;
  rIn.write_bytes(rFile);
  run(std::string("ffmpeg -nostdin -loglevel error -y -threads 1 -f avi -i ") + rIn.path() +
      " -fps_mode passthrough -f rawvideo -pix_fmt bgr24 " + rOut.path());
  const BytesT rPictures = rOut.read_bytes();
  std::vector<int64_t> rStamps;
  std::istringstream rLines(run(std::string("ffprobe -v error -threads 1 -f avi -select_streams v:0 "
                                            "-show_entries frame=best_effort_timestamp -of csv=p=0 ") +
                                rIn.path()));
  for (std::string sStamp; rLines >> sStamp;) {
    rStamps.push_back(sStamp == "N/A" && !rStamps.empty() ? rStamps.back() + 1 : std::stoll(sStamp));
  }
  for (size_t i = 0; bFromFirst && i < rStamps.size(); ++i) {
    rStamps[rStamps.size() - 1 - i] -= rStamps.front();
  }
  if (rStamps.empty() || rPictures.size() % rStamps.size() != 0) {
    ADD_FAILURE() << rStamps.size() << " time stamps for " << rPictures.size() << " bytes of pictures";
    return {};
  }
  const size_t uiSize = rPictures.size() / rStamps.size();
  BytesT rFrames;
  size_t uiPicture = 0;
  for (size_t uiFrame = 0; uiFrame < uiFrames; ++uiFrame) {
    while (uiPicture + 1 < rStamps.size() && rStamps[uiPicture + 1] <= static_cast<int64_t>(uiFrame)) {
      ++uiPicture;
    }
    rFrames.insert(rFrames.end(), rPictures.begin() + uiPicture * uiSize, rPictures.begin() + (uiPicture + 1) * uiSize);
  }
  return rFrames;
}

size_t video_frames(const LayoutC& rLayout) {
  return static_cast<size_t>(std::count_if(rLayout.m_rChunks.begin(), rLayout.m_rChunks.end(),
                                           [](const ChunkC& r) { return r.m_eKind == AviWriterN::VIDEO_FRAME; }));
}

VideoC written(const LayoutC& rLayout) {
  const BytesT rFile = AviWriterN::write_avi(rLayout);
  return VideoC(rFile, ffmpeg_pictures(rFile, video_frames(rLayout)));
}

// A layout of the frames of a clip the ffmpeg command made.
LayoutC layout_of(const std::string& sClip) {
  const AviWriterN::SourceC rSource = AviWriterN::read_source(read_file(sClip + ".avi"));
  LayoutC rLayout;
  rLayout.m_rVideoFormat = rSource.m_rFormat;
  rLayout.m_rChunks = rSource.m_rFrames;
  return rLayout;
}

ChunkC sound(size_t uiBytes) {
  return {AviWriterN::AUDIO_SAMPLES, BytesT(uiBytes, 0x10), true};
}

TEST(AviLayouts, VideoAsTheSecondStreamPlaysFromItsOwnChunksAndFormat) {
  // Written by the ffmpeg command with the sound mapped first: chunks 01dc.
  VideoC rClip(read_file("secondstream.avi"), read_file("secondstream.bgr"));
  ASSERT_NE(find_text(rClip.m_rFile, "01dc"), rClip.m_rFile.size());
  EXPECT_EQ(rClip.m_rReader.get_width(), 64);
  EXPECT_EQ(rClip.m_rReader.get_frame_count(), 24);
  EXPECT_TRUE(rClip.plays_exactly());
  // The same with the frames of our writer, sound interleaved.
  LayoutC rLayout = layout_of("xvid");
  rLayout.m_bAudio = true;
  rLayout.m_bAudioFirst = true;
  rLayout.m_rChunks.insert(rLayout.m_rChunks.begin() + 5, sound(1764));
  VideoC rWritten = written(rLayout);
  EXPECT_TRUE(rWritten.plays_exactly());
}

TEST(AviLayouts, SoundAheadOfTheFirstFrameLeavesRelativeIdx1OffsetsRelative) {
  // Half a second of sound first, as captures do: the first video entry's
  // offset lies beyond the movi list's position, yet it is relative.
  LayoutC rLayout = layout_of("xvid");
  rLayout.m_bAudio = true;
  for (int32_t i = 0; i < 5; ++i) {
    rLayout.m_rChunks.insert(rLayout.m_rChunks.begin(), sound(4410));
  }
  VideoC rRelative = written(rLayout);
  ASSERT_GT(get32(rRelative.m_rFile, find_text(rRelative.m_rFile, "idx1") + 8 + 5 * 16 + 8),
            find_text(rRelative.m_rFile, "movi"));
  EXPECT_TRUE(rRelative.plays_exactly());
  rLayout.m_bAbsoluteIdx1 = true;
  EXPECT_TRUE(written(rLayout).plays_exactly());
}

TEST(AviLayouts, OpenDmlPartsPlayToTheLastFrameWhateverTheMainHeaderCounts) {
  // Three RIFF parts; the main header counts the first part only, as the
  // ffmpeg command writes it, or nothing; idx1 covers the first part.
  LayoutC rLayout = layout_of("xvid");
  rLayout.m_rPartStarts = {9, 17};
  for (int64_t i64Header : {-1, 0}) {
    rLayout.m_i64HeaderFrames = i64Header;
    VideoC rVideo = written(rLayout);
    ASSERT_NE(find_text(rVideo.m_rFile, "AVIX"), rVideo.m_rFile.size());
    EXPECT_EQ(rVideo.m_rReader.get_frame_count(), 24);
    EXPECT_TRUE(rVideo.plays_exactly());
  }
  // Without the OpenDML indexes: idx1 for the first part, a scan for the rest.
  BytesT rFile = AviWriterN::write_avi(rLayout);
  std::memcpy(&rFile[find_text(rFile, "indx")], "JUNK", 4);
  VideoC rNoIndex(rFile, ffmpeg_pictures(rFile, 24));
  EXPECT_EQ(rNoIndex.m_rReader.get_frame_count(), 24);
  EXPECT_TRUE(rNoIndex.plays_exactly());
  // Nor idx1: every movi list of every part is scanned.
  std::memcpy(&rFile[find_text(rFile, "idx1")], "JUNK", 4);
  VideoC rScanned(rFile, ffmpeg_pictures(rFile, 24));
  EXPECT_EQ(rScanned.m_rReader.get_frame_count(), 24);
  EXPECT_TRUE(rScanned.plays_exactly());
}

TEST(AviLayouts, FrameCountFollowsTheIndexWhenTheHeaderIsZeroOrShort) {
  LayoutC rLayout = layout_of("mjpeg");
  for (int64_t i64Header : {0, 7}) {
    rLayout.m_i64HeaderFrames = i64Header;
    VideoC rVideo = written(rLayout);
    EXPECT_EQ(rVideo.m_rReader.get_frame_count(), 24);
    EXPECT_TRUE(rVideo.plays_exactly());
  }
}

TEST(AviLayouts, FramesWithoutANewPictureRepeatThePictureBeforeAndShiftNothing) {
  // MPEG-4 frames coded as "not coded" (N-VOPs: a P-VOP header with
  // vop_coded 0, at 25 ticks a second) and an empty chunk.
  const BytesT rNotCoded = {0x00, 0x00, 0x01, 0xB6, 0x50, 0x4F};
  LayoutC rLayout = layout_of("xvid");
  rLayout.m_rChunks.insert(rLayout.m_rChunks.begin() + 4, {AviWriterN::VIDEO_FRAME, rNotCoded, false});
  rLayout.m_rChunks.insert(rLayout.m_rChunks.begin() + 12, {AviWriterN::VIDEO_FRAME, rNotCoded, false});
  rLayout.m_rChunks.insert(rLayout.m_rChunks.begin() + 20, {AviWriterN::VIDEO_FRAME, {}, false});
  VideoC rVideo = written(rLayout);
  ASSERT_EQ(rVideo.m_rReader.get_frame_count(), 27);
  EXPECT_TRUE(rVideo.shows(4, 3));
  EXPECT_TRUE(rVideo.shows(26));
  EXPECT_TRUE(rVideo.plays_exactly());
}

TEST(AviLayouts, PaletteChangesApplyFromTheirPlaceInOrderAndAfterJumps) {
  LayoutC rLayout = layout_of("pal8");
  // From frame 5 every colour inverted; from frame 12 entries 16 to 79 grey.
  BytesT rInverted = {0, 0, 0, 0};
  const BytesT& rFormat = rLayout.m_rVideoFormat;
  for (size_t i = 0; i < 256; ++i) {
    const size_t uiAt = rFormat.size() - 1024 + 4 * i;  // blue, green, red, unused
    rInverted.insert(rInverted.end(), {static_cast<uint8_t>(255 - rFormat[uiAt + 2]),
                                       static_cast<uint8_t>(255 - rFormat[uiAt + 1]),
                                       static_cast<uint8_t>(255 - rFormat[uiAt]), 0});
  }
  BytesT rGrey = {16, 64, 0, 0};
  for (int32_t i = 0; i < 64; ++i) {
    rGrey.insert(rGrey.end(), {128, 128, 128, 0});
  }
  rLayout.m_rChunks.insert(rLayout.m_rChunks.begin() + 12, {AviWriterN::PALETTE_CHANGE, rGrey, false});
  rLayout.m_rChunks.insert(rLayout.m_rChunks.begin() + 5, {AviWriterN::PALETTE_CHANGE, rInverted, false});
  VideoC rVideo = written(rLayout);
  ASSERT_EQ(rVideo.m_rReader.get_frame_count(), 24);
  EXPECT_TRUE(rVideo.shows(13));  // first by a jump
  EXPECT_TRUE(rVideo.shows(2));
  EXPECT_TRUE(rVideo.plays_exactly());
  rLayout.m_bIdx1 = false;
  EXPECT_TRUE(written(rLayout).plays_exactly());
}

TEST(AviLayouts, UnfinishedCaptureWithoutSizesOrIndexPlaysEveryWholeFrame) {
  LayoutC rLayout = layout_of("xvid");
  rLayout.m_bAudio = true;
  rLayout.m_rChunks.insert(rLayout.m_rChunks.begin() + 3, sound(882));
  rLayout.m_bIdx1 = false;
  rLayout.m_bSizesZero = true;
  VideoC rVideo = written(rLayout);
  EXPECT_EQ(rVideo.m_rReader.get_frame_count(), 24);
  EXPECT_TRUE(rVideo.plays_exactly());
  // Stopped in the middle of a frame: the frames before it play, and the
  // frame numbers wrap over them.
  BytesT rCut = rVideo.m_rFile;
  rCut.resize(rCut.size() * 8 / 10);
  VideoC rFirst(rCut, rVideo.m_rExpected);
  const int32_t i32Count = rFirst.m_rReader.get_frame_count();
  EXPECT_GT(i32Count, 12);
  EXPECT_LT(i32Count, 24);
  for (int32_t i = 0; i < i32Count; ++i) {
    EXPECT_TRUE(rFirst.shows(i));
  }
  EXPECT_TRUE(rFirst.shows(i32Count + 1, 1));
}

TEST(AviLayouts, OddSizesPlayPaddedOrNot) {
  LayoutC rLayout = layout_of("xvid");
  size_t uiOdd = 0;
  for (const ChunkC& rChunk : rLayout.m_rChunks) {
    uiOdd += rChunk.m_rBytes.size() % 2;
  }
  ASSERT_GT(uiOdd, 3u);
  const BytesT rPictures = ffmpeg_pictures(AviWriterN::write_avi(rLayout), 24);
  rLayout.m_bPad = false;
  for (bool bIdx1 : {true, false}) {
    rLayout.m_bIdx1 = bIdx1;
    VideoC rVideo(AviWriterN::write_avi(rLayout), rPictures);
    EXPECT_EQ(rVideo.m_rReader.get_frame_count(), 24);
    EXPECT_TRUE(rVideo.plays_exactly()) << (bIdx1 ? "with idx1" : "scanned");
  }
}

TEST(AviLayouts, KeyFramesWithoutFlagsAreLearntForLaterBackwardJumps) {
  // Key frames 0, 8 and 16; neither idx1 nor the scan says so.
  LayoutC rLayout = layout_of("xvid");
  rLayout.m_bKeyFlags = false;
  for (bool bIdx1 : {true, false}) {
    rLayout.m_bIdx1 = bIdx1;
    VideoC rVideo = written(rLayout);
    for (int32_t i = 0; i < 24; ++i) {
      ASSERT_TRUE(rVideo.shows(i));
    }
    uint64_t ui64Before = decoded();
    EXPECT_TRUE(rVideo.shows(19));  // 16 .. 19
    EXPECT_EQ(decoded() - ui64Before, 4u);
    ui64Before = decoded();
    EXPECT_TRUE(rVideo.shows(8));  // a key frame alone
    EXPECT_EQ(decoded() - ui64Before, 1u);
    ui64Before = decoded();
    EXPECT_TRUE(rVideo.shows(7));  // 0 .. 7
    EXPECT_EQ(decoded() - ui64Before, 8u);
  }
}

// A file the ffmpeg command writes from its arguments.
BytesT ffmpeg_file(const std::string& sArguments) {
  TempFileC rFile;
  run("ffmpeg -nostdin -loglevel error -y " + sArguments + " -f avi " + rFile.path());
  return rFile.read_bytes();
}

bool have_clip(const std::string& sName) {
  return (std::string(",") + TIRAVO_VIDEO_CLIPS + ",").find("," + sName + ",") != std::string::npos;
}

TEST(AviLayouts, FramesWithoutAPictureKeepTheirPlaceWhenTheStreamReorders) {
  if (!have_clip("h264bframes") || !have_clip("mpeg4bframes")) {
    GTEST_SKIP() << "the installed ffmpeg cannot make H.264 or MPEG-4 with B-frames";
  }
  // 24 pictures over 35 frames: the ffmpeg command fills the gaps of a
  // variable-rate stream with empty chunks, 11 of them. Its decode stamps
  // the pictures from the delay it gave the decode times on, so they are
  // compared from the first.
  const std::string sSource =
      "-f lavfi -i testsrc2=size=64x64:rate=25 -frames:v 24 -vf setpts='(N+floor(N/3)+floor(N/5))/25/TB' "
      "-fps_mode vfr ";
  for (const char* szCodec : {"libx264 -bf 3 -g 8", "libx264 -bf 3 -x264-params b-pyramid=none -g 8",
                              "mpeg4 -vtag XVID -bf 2 -g 8", "libx264 -bf 0 -g 8"}) {
    const BytesT rFile = ffmpeg_file(sSource + "-c:v " + szCodec);
    size_t uiEmpty = 0;
    for (size_t uiAt = find_text(rFile, "idx1") + 8; uiAt + 16 <= rFile.size(); uiAt += 16) {
      uiEmpty += get32(rFile, uiAt + 12) == 0 ? 1 : 0;
    }
    EXPECT_EQ(uiEmpty, 11u) << szCodec;
    VideoC rVideo(rFile, ffmpeg_pictures(rFile, 35, true));
    ASSERT_EQ(rVideo.m_rReader.get_frame_count(), 35) << szCodec;
    EXPECT_TRUE(rVideo.plays_exactly()) << szCodec;
    // A jump first, before any picture has shown how the stream reorders.
    VideoC rJumped(rFile, rVideo.m_rExpected);
    EXPECT_TRUE(rJumped.shows(30)) << szCodec;
    EXPECT_TRUE(rJumped.shows(34)) << szCodec;
    EXPECT_TRUE(rJumped.shows(3)) << szCodec;
  }
}

TEST(AviLayouts, AStreamThatStartsLateShowsItsFirstPictureUntilItsStart) {
  // The stream header's start, 5 frames, patched into the ffmpeg command's
  // file, which the ffmpeg command honours too.
  BytesT rFile = read_file("xvid.avi");
  const size_t uiHeader = find_text(rFile, "vids");
  ASSERT_EQ(get32(rFile, uiHeader + 28), 0u);
  set32(rFile, uiHeader + 28, 5);
  VideoC rVideo(rFile, ffmpeg_pictures(rFile, 29));
  ASSERT_EQ(rVideo.m_rReader.get_frame_count(), 29);
  EXPECT_TRUE(rVideo.shows(3, 5));
  EXPECT_TRUE(rVideo.shows(5, 5));
  EXPECT_TRUE(rVideo.shows(6, 6));
  EXPECT_TRUE(rVideo.plays_exactly());
  // A start beyond any sense is damage, not a wait.
  set32(rFile, uiHeader + 28, 0x7FFFFFFF);
  VideoC rDamaged(rFile, ffmpeg_pictures(read_file("xvid.avi"), 24));
  EXPECT_EQ(rDamaged.m_rReader.get_frame_count(), 24);
  EXPECT_TRUE(rDamaged.plays_exactly());
}

TEST(AviLayouts, StreamNumbersFromTenOnMayBeHexadecimal) {
  // The video as stream 10, after ten sound streams: the ffmpeg command
  // writes "10dc", writers on Windows "0Adc" (its decode knows only the
  // first; the second is patched in, in the index and in the chunks).
  std::string sArguments = "-f lavfi -i sine=duration=0.96 -f lavfi -i testsrc2=size=64x64:rate=25:duration=0.96 ";
  for (int32_t i = 0; i < 10; ++i) {
    sArguments += "-map 0:a ";
  }
  const BytesT rDecimal = ffmpeg_file(sArguments + "-map 1:v -c:a pcm_s16le -c:v mpeg4 -vtag XVID -g 8");
  const BytesT rPictures = ffmpeg_pictures(rDecimal, 24);
  const size_t uiMovi = find_text(rDecimal, "movi");
  for (const char* szId : {"10dc", "0Adc", "0adc"}) {
    BytesT rFile = rDecimal;
    size_t uiFrames = 0;
    for (size_t uiAt = find_text(rFile, "idx1") + 8; uiAt + 16 <= rFile.size(); uiAt += 16) {
      if (std::memcmp(&rFile[uiAt], "10dc", 4) == 0) {
        std::memcpy(&rFile[uiAt], szId, 4);
        std::memcpy(&rFile[uiMovi + get32(rFile, uiAt + 8)], szId, 4);
        ++uiFrames;
      }
    }
    ASSERT_EQ(uiFrames, 24u);
    VideoC rVideo(rFile, rPictures);
    EXPECT_TRUE(rVideo.plays_exactly()) << szId;
    // Without idx1, from the chunks alone.
    std::memcpy(&rFile[find_text(rFile, "idx1")], "JUNK", 4);
    VideoC rScanned(rFile, rPictures);
    EXPECT_TRUE(rScanned.plays_exactly()) << szId << " scanned";
  }
}

}  // namespace
