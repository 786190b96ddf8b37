// The "Movie" importable of fliksel.so as the player creates it, on files of
// the movie matrix made by the ffmpeg command: what it reports, what it
// refuses, what a document carries, and the frames its texture holds, read
// back from Mesa.
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "corelib/timebasec.h"
#include "tests/fliksel/flikseltest.h"
#include "tests/fliksel/importchunks.h"
#include "tests/support/chunkbytes.h"
#include "tests/support/documentfilec.h"
#include "tests/support/offscreenglc.h"
#include "tests/support/testdriverc.h"

namespace {

class MovieImportTest : public FlikselTest {
 protected:
  void SetUp() override { load_plugins(); }
};

TEST_F(MovieImportTest, AnswersQueriesForOpaqueTransparentAndUnevenMovies) {
  TimeBaseC rDefaultTiming(120, 4, 2);
  OwnedT<GraphicsImportableC> pEmpty = create<GraphicsImportableC>(MOVIE_IMPORT_CLASS);
  EXPECT_STREQ("No Player", pEmpty->get_info());
  EXPECT_EQ(-1, pEmpty->get_duration(&rDefaultTiming));
  EXPECT_EQ(0, pEmpty->get_frame_count());
  EXPECT_EQ(nullptr, pEmpty->get_data());

  OwnedT<GraphicsImportableC> pOpaque = import_movie("mp4_h264.mp4");
  EXPECT_STREQ("64 x 64 x 24BPP @ 25.0 FPS", pOpaque->get_info());
  EXPECT_EQ(movie("mp4_h264.mp4"), pOpaque->get_file_name());
  EXPECT_EQ(64, pOpaque->get_width());
  EXPECT_EQ(64, pOpaque->get_data_width());
  EXPECT_EQ(24, pOpaque->get_frame_count());
  EXPECT_EQ(25.0f, pOpaque->get_fps());
  EXPECT_EQ(0, pOpaque->get_first_frame());
  // 24 frames at 25 per second: 0.96 s of 2048 ticks, truncated.
  EXPECT_EQ(1966, pOpaque->get_duration(&rDefaultTiming));
  EXPECT_EQ(24.0f, pOpaque->get_last_label(&rDefaultTiming));

  OwnedT<GraphicsImportableC> pAlpha = import_movie("mov_prores4444.mov");
  EXPECT_STREQ("64 x 64 x 32BPP @ 25.0 FPS", pAlpha->get_info());
  EXPECT_EQ(32, pAlpha->get_bit_depth());

  // A phone clip turned upright, and samples twice as wide: the sizes the
  // quad is drawn at are the displayed ones.
  OwnedT<GraphicsImportableC> pTurned = import_movie("mp4_rot90.mp4");
  EXPECT_EQ(48, pTurned->get_width());
  EXPECT_EQ(64, pTurned->get_height());
  EXPECT_EQ(48, pTurned->get_data_width());
  OwnedT<GraphicsImportableC> pWide = import_movie("mkv_sar_wide.mkv");
  EXPECT_STREQ("64 x 64 x 24BPP @ 25.0 FPS", pWide->get_info());

  // 24 pictures over 1.4 s, each on screen for one to three 25ths of a
  // second: 35 frames at 25 per second.
  OwnedT<GraphicsImportableC> pUneven = import_movie("mp4_vfr.mp4");
  EXPECT_STREQ("64 x 64 x 24BPP @ 25.0 FPS", pUneven->get_info());
  EXPECT_EQ(35, pUneven->get_frame_count());
  EXPECT_EQ(2867, pUneven->get_duration(&rDefaultTiming));
  // A recording that claims 60 frames a second with every other picture
  // dropped: 24 pictures 1/30 s apart, the last for 1/60 s, play 47 frames
  // (0.783 s), not 24 (0.4 s, looping at the middle).
  OwnedT<GraphicsImportableC> pDropped = import_movie("mkv_dropped.mkv");
  EXPECT_STREQ("64 x 64 x 24BPP @ 60.0 FPS", pDropped->get_info());
  EXPECT_EQ(47, pDropped->get_frame_count());
  EXPECT_EQ(1604, pDropped->get_duration(&rDefaultTiming));
}

TEST_F(MovieImportTest, LoadFileRefusesSoundTextAndAviAndKeepsThePreviousMovie) {
  OwnedT<GraphicsImportableC> pVideo = import_movie("webm_vp9.webm");
  for (const std::string& rPath : {movie("tone.wav"), movie("notes.txt"), media("solid.avi"), movie("missing.mp4")}) {
    EXPECT_FALSE(pVideo->load_file(rPath.c_str(), nullptr)) << rPath;
  }
  EXPECT_FALSE(pVideo->load_file(nullptr, nullptr));
  EXPECT_FALSE(pVideo->load_file(movie("tone.m4a").c_str(), nullptr));
  EXPECT_EQ(movie("webm_vp9.webm"), pVideo->get_file_name());
  EXPECT_STREQ("64 x 64 x 24BPP @ 25.0 FPS", pVideo->get_info());
  EXPECT_EQ(24, pVideo->get_frame_count());
  // The AVI importable refuses movies the same way.
  OwnedT<GraphicsImportableC> pAvi = import("solid.avi");
  EXPECT_FALSE(pAvi->load_file(movie("mp4_h264.mp4").c_str(), nullptr));
  EXPECT_STREQ("64 x 32 x 24BPP @ 25.0 FPS", pAvi->get_info());
}

TEST_F(MovieImportTest, DocumentRoundTripCarriesTheWholeFile) {
  for (const char* szName : {"mov_prores4444.mov", "mkv_av1.mkv", "ogv_theora.ogv"}) {
    const std::string sPath = movie(szName);
    const BytesT rFile = file_bytes(sPath);
    OwnedT<GraphicsImportableC> pVideo = import_movie(szName);
    DocumentFileC rDocument;
    EXPECT_EQ(CHUNK_OK, rDocument.save(pVideo.get()));
    EXPECT_TRUE(stored_file(sPath, rFile) == rDocument.payload()) << szName;

    OwnedT<GraphicsImportableC> pLoaded = create<GraphicsImportableC>(MOVIE_IMPORT_CLASS);
    EXPECT_EQ(CHUNK_END, rDocument.load(pLoaded.get()));
    EXPECT_EQ(sPath, pLoaded->get_file_name());
    EXPECT_STREQ(pVideo->get_info(), pLoaded->get_info());
    EXPECT_EQ(24, pLoaded->get_frame_count());
    DocumentFileC rAgain;
    EXPECT_EQ(CHUNK_OK, rAgain.save(pLoaded.get()));
    EXPECT_TRUE(rDocument.payload() == rAgain.payload()) << szName;
  }
}

// Movie bytes cut short in a document (the stored size claims more than the
// chunk holds): the load reports the damage and the importable keeps what
// was there. Bytes that are no movie (whatever the document claims) load as
// an importable without pictures.
TEST_F(MovieImportTest, DamagedMovieBytesInADocumentKeepWhatLoaded) {
  const BytesT rFile = file_bytes(movie("mkv_ffv1.mkv"));
  const BytesT rKept(rFile.begin(), rFile.begin() + static_cast<std::ptrdiff_t>(rFile.size() * 2 / 3));
  DocumentFileC rDocument;
  rDocument.write_payload(concat({chunk(0x1000, 1, stored_string("cut.mkv")),
                                  chunk(0x2000, 1, concat({bytes_of(static_cast<uint32_t>(rFile.size())), rKept}))}));
  OwnedT<GraphicsImportableC> pCut = create<GraphicsImportableC>(MOVIE_IMPORT_CLASS);
  EXPECT_EQ(CHUNK_DAMAGED, rDocument.load(pCut.get()));
  EXPECT_STREQ("cut.mkv", pCut->get_file_name());
  EXPECT_EQ(64, pCut->get_width());
  EXPECT_GT(pCut->get_frame_count(), 0);
  EXPECT_LT(pCut->get_frame_count(), 24);

  DocumentFileC rText;
  rText.write_payload(stored_file("notes.mp4", file_bytes(movie("notes.txt"))));
  OwnedT<GraphicsImportableC> pText = create<GraphicsImportableC>(MOVIE_IMPORT_CLASS);
  testing::internal::CaptureStderr();
  EXPECT_EQ(CHUNK_END, rText.load(pText.get()));
  EXPECT_EQ("fliksel: the video notes.mp4 cannot be played: unknown container (not MP4, MOV, 3GP, Matroska, WebM "
            "or Ogg)\n",
            testing::internal::GetCapturedStderr());
  EXPECT_STREQ("0 x 0 x 0BPP @ 0.0 FPS", pText->get_info());
  DocumentFileC rSound;
  rSound.write_payload(stored_file("tone.m4a", file_bytes(movie("tone.m4a"))));
  OwnedT<GraphicsImportableC> pSound = create<GraphicsImportableC>(MOVIE_IMPORT_CLASS);
  testing::internal::CaptureStderr();
  EXPECT_EQ(CHUNK_END, rSound.load(pSound.get()));
  EXPECT_EQ("fliksel: the video tone.m4a cannot be played: no video stream\n", testing::internal::GetCapturedStderr());
  EXPECT_EQ(0, pText->get_frame_count());
  DocumentFileC rAgain;
  EXPECT_EQ(CHUNK_OK, rAgain.save(pText.get()));
  EXPECT_TRUE(rText.payload() == rAgain.payload());
}

// bind_texture on a real OpenGL context: the texture holds the ffmpeg
// command's decode of the frame asked for, with alpha where the source has it.
class MovieTextureTest : public MovieImportTest {
 protected:
  void SetUp() override {
    MovieImportTest::SetUp();
    ASSERT_TRUE(m_rGl.ok()) << SDL_GetError();
  }

  // The bound texture's texels as RGBA, rows top first.
  static BytesT texels() {
    BytesT rTexels(64 * 64 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rTexels.data());
    return rTexels;
  }

  // Picture i32Picture of the ffmpeg command's decode, RGBA with an alpha of
  // 255 where the source has none.
  static BytesT expected(const char* szName, int32_t i32Picture) {
    const BytesT rRaw = file_bytes(movie(szName));
    const auto pPicture = rRaw.begin() + static_cast<std::ptrdiff_t>(i32Picture) * 64 * 64 * 4;
    return BytesT(pPicture, pPicture + 64 * 64 * 4);
  }

  OffscreenGlC m_rGl{64, 64};
  OwnedT<TestDriverC> m_pOpenGl{TestDriverC::make(ClassIdentC(0, 0x2710))};
};

TEST_F(MovieTextureTest, TextureHoldsTheFrameAskedForWithItsAlpha) {
  for (const auto& [szMovie, szRaw, i32Bits] : {std::make_tuple("webm_vp9_alpha.webm", "webm_vp9_alpha.raw", 32),
                                                std::make_tuple("mp4_hevc.mp4", "mp4_hevc.raw", 24)}) {
    OwnedT<GraphicsImportableC> pVideo = import_movie(szMovie);
    for (int32_t i32Frame : {0, 1, 17, 5, 29}) {
      pVideo->bind_texture(i32Frame, m_pOpenGl.get(), 0x30);
      EXPECT_TRUE(texels() == expected(szRaw, i32Frame % 24)) << szMovie << " frame " << i32Frame;
    }
    EXPECT_EQ(i32Bits, pVideo->get_bit_depth()) << szMovie;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
}

}  // namespace
