#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "corelib/layerc.h"
#include "corelib/ownedobject.h"
#include "corelib/scenec.h"
#include "corelib/timesegmentc.h"
#include "docfile/chunkreaderc.h"
#include "registry/classregistryc.h"
#include "tests/support/documentfilec.h"
#include "tests/support/effectdocumenttestc.h"
#include "tests/support/testeffectc.h"

namespace {

constexpr int32_t SAMPLE_LAYER_COUNT = 3;
constexpr int32_t SAMPLE_EFFECTS_PER_LAYER = 2;
const char* const SAMPLE_LAYER_NAMES[SAMPLE_LAYER_COUNT] = {"Back", "Middle", "Front"};
constexpr uint32_t SAMPLE_LAYER_FLAGS = 0x5A;

struct SampleMarkerS {
  int32_t m_i32Position;
  const char* m_szLabel;
};
const SampleMarkerS SAMPLE_MARKERS[] = {{512, "verse"}, {2048, "chorus"}, {8192, "outro"}};

int32_t sample_effect_value(int32_t i32Layer, int32_t i32Effect) {
  return 100 * (i32Layer + 1) + i32Effect + 1;
}

OwnedT<SceneC> make_sample_scene() {
  OwnedT<SceneC> pScene(SceneC::create_scene());
  pScene->set_name("Sample");
  pScene->set_layout_width(800);
  pScene->set_layout_height(600);
  pScene->set_end_time(40960);
  pScene->set_beats_per_min(140);
  pScene->set_beat_units(8);
  pScene->set_beat_group(3);
  pScene->set_tick_division(4);
  for (int32_t i32Layer = 0; i32Layer < SAMPLE_LAYER_COUNT; ++i32Layer) {
    pScene->add_layer();
  }
  for (int32_t i32Layer = 0; i32Layer < SAMPLE_LAYER_COUNT; ++i32Layer) {
    LayerC* pLayer = pScene->get_layer(static_cast<uint32_t>(i32Layer));
    pLayer->set_name(SAMPLE_LAYER_NAMES[i32Layer]);
    pLayer->set_flags(SAMPLE_LAYER_FLAGS);
    pLayer->get_time_segment()->set_segment_start(256 * i32Layer);
    pLayer->get_time_segment()->add_key(256 * i32Layer);
    pLayer->get_time_segment()->add_key(4096 + 256 * i32Layer);
    for (int32_t i32Effect = 0; i32Effect < SAMPLE_EFFECTS_PER_LAYER; ++i32Effect) {
      TestEffectC* pEffect = TestEffectC::make(sample_effect_value(i32Layer, i32Effect));
      pEffect->set_name("effect");
      pEffect->get_time_segment()->add_key(0);
      pEffect->get_time_segment()->add_key(1024);
      pLayer->insert_effect(i32Effect, pEffect);
    }
  }
  for (const SampleMarkerS& rMarker : SAMPLE_MARKERS) {
    pScene->add_marker(rMarker.m_i32Position, rMarker.m_szLabel);
  }
  return pScene;
}

// Like the document loader: the scene's chunk among the top-level chunks.
int32_t load_document(const char* szPath, ClassRegistryC* pRegistry, SceneC* pScene) {
  ChunkReaderC rReader(pRegistry);
  int32_t i32Result = rReader.open(szPath, DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH);
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  i32Result = load_chunks(&rReader, [&](uint32_t ui32Id, uint32_t ui32Version) -> int32_t {
    if (ui32Id == DocumentFileC::TOP_CHUNK_ID && ui32Version == DocumentFileC::TOP_CHUNK_VERSION) {
      return pScene->load(&rReader);
    }
    return CHUNK_OK;
  });
  return i32Result == CHUNK_END ? CHUNK_OK : i32Result;
}

template <class T>
void expect_default_or(T rValue, T rDefault, T rOriginal, const char* szWhat) {
  EXPECT_TRUE(rValue == rDefault || rValue == rOriginal) << szWhat << " = " << rValue;
}

void expect_partial_layer(LayerC* pLayer, int32_t i32Layer) {
  expect_default_or<std::string>(pLayer->get_name(), "", SAMPLE_LAYER_NAMES[i32Layer], "layer name");
  expect_default_or(pLayer->get_flags(), LAYER_DEFAULT_FLAGS, SAMPLE_LAYER_FLAGS, "layer flags");
  int32_t i32Count = pLayer->get_effect_count();
  ASSERT_LE(i32Count, SAMPLE_EFFECTS_PER_LAYER);
  // Effects are saved last to first, so a cut layer holds the last ones.
  for (int32_t i32Index = 0; i32Index < i32Count; ++i32Index) {
    int32_t i32Original = SAMPLE_EFFECTS_PER_LAYER - i32Count + i32Index;
    expect_default_or(effect_value(pLayer, i32Index), 0, sample_effect_value(i32Layer, i32Original), "effect value");
  }
}

// A load that reports success must hold nothing but values of the sample, or
// defaults where it stopped.
void expect_partial_sample(SceneC* pScene) {
  expect_default_or<std::string>(pScene->get_name(), "", "Sample", "scene name");
  expect_default_or(pScene->get_layout_width(), 640, 800, "layout width");
  expect_default_or(pScene->get_layout_height(), 480, 600, "layout height");
  expect_default_or(pScene->get_end_time(), 20480, 40960, "end time");
  expect_default_or(pScene->get_beats_per_min(), 120, 140, "beats per minute");
  expect_default_or(pScene->get_beat_units(), 4, 8, "beat units");
  expect_default_or(pScene->get_beat_group(), 4, 3, "beat group");
  expect_default_or(pScene->get_tick_division(), 2, 4, "tick division");
  ASSERT_LE(pScene->get_layer_count(), SAMPLE_LAYER_COUNT);
  for (int32_t i32Layer = 0; i32Layer < pScene->get_layer_count(); ++i32Layer) {
    expect_partial_layer(pScene->get_layer(static_cast<uint32_t>(i32Layer)), i32Layer);
  }
  for (int32_t i32Index = 0; i32Index < pScene->get_marker_count(); ++i32Index) {
    bool bFound = false;
    for (const SampleMarkerS& rMarker : SAMPLE_MARKERS) {
      bFound |= rMarker.m_i32Position == pScene->get_marker_position(i32Index) &&
                std::string(rMarker.m_szLabel) == pScene->get_marker_label(i32Index);
    }
    EXPECT_TRUE(bFound) << "marker " << pScene->get_marker_position(i32Index);
  }
}

class DamagedDocumentTest : public EffectDocumentTestC {
 protected:
  void SetUp() override {
    EffectDocumentTestC::SetUp();
    ASSERT_EQ(CHUNK_OK, m_rFile.save(make_sample_scene().get()));
    m_rSample = m_rFile.read_bytes();
  }

  // Loads rBytes as a document into a new scene and releases it again.
  template <class CheckT>
  int32_t load_bytes(const std::vector<uint8_t>& rBytes, CheckT&& rCheck) {
    m_rFile.write_bytes(rBytes);
    OwnedT<SceneC> pScene(SceneC::create_scene());
    int32_t i32Result = load_document(m_rFile.path(), &m_rRegistry, pScene.get());
    rCheck(i32Result, pScene.get());
    pScene.reset();
    EXPECT_EQ(0, TestEffectC::live_count());
    return i32Result;
  }

  std::vector<uint8_t> m_rSample;
};

TEST_F(DamagedDocumentTest, SampleLoadsWhole) {
  load_bytes(m_rSample, [](int32_t i32Result, SceneC* pScene) {
    EXPECT_EQ(CHUNK_OK, i32Result);
    EXPECT_STREQ("Sample", pScene->get_name());
    EXPECT_EQ(140, pScene->get_beats_per_min());
    ASSERT_EQ(SAMPLE_LAYER_COUNT, pScene->get_layer_count());
    for (int32_t i32Layer = 0; i32Layer < SAMPLE_LAYER_COUNT; ++i32Layer) {
      LayerC* pLayer = pScene->get_layer(static_cast<uint32_t>(i32Layer));
      EXPECT_STREQ(SAMPLE_LAYER_NAMES[i32Layer], pLayer->get_name());
      EXPECT_EQ(2, pLayer->get_time_segment()->get_key_count());
      ASSERT_EQ(SAMPLE_EFFECTS_PER_LAYER, pLayer->get_effect_count());
      EXPECT_EQ(sample_effect_value(i32Layer, 0), effect_value(pLayer, 0));
      EXPECT_EQ(2, pLayer->get_effect(1)->get_time_segment()->get_key_count());
    }
    EXPECT_EQ(3, pScene->get_marker_count());
  });
}

// The first uLength bytes of the sample. With bFitTopChunk the scene chunk's
// size is cut to match, as if the document had been written short, so the
// scene's own loaders meet the cut rather than the top level.
std::vector<uint8_t> cut_sample(const std::vector<uint8_t>& rSample, size_t uLength, bool bFitTopChunk) {
  std::vector<uint8_t> rCut(rSample.begin(), rSample.begin() + static_cast<std::ptrdiff_t>(uLength));
  constexpr size_t SIZE_FIELD = DOCUMENT_SIGNATURE_LENGTH + 8;
  if (bFitTopChunk && uLength >= SIZE_FIELD + 4) {
    uint32_t ui32Size = static_cast<uint32_t>(uLength - DOCUMENT_SIGNATURE_LENGTH);
    for (size_t uByte = 0; uByte < 4; ++uByte) {
      rCut[SIZE_FIELD + uByte] = static_cast<uint8_t>(ui32Size >> (8 * uByte));
    }
  }
  return rCut;
}

TEST_F(DamagedDocumentTest, EveryTruncationFailsOrLoadsACleanPart) {
  int32_t i32CleanParts = 0;
  for (bool bFitTopChunk : {false, true}) {
    for (size_t uLength = 0; uLength < m_rSample.size(); ++uLength) {
      SCOPED_TRACE("length " + std::to_string(uLength) + (bFitTopChunk ? ", top chunk fitted" : ""));
      load_bytes(cut_sample(m_rSample, uLength, bFitTopChunk), [&](int32_t i32Result, SceneC* pScene) {
        if (i32Result == CHUNK_OK) {
          ++i32CleanParts;
          expect_partial_sample(pScene);
        }
      });
      if (HasFailure()) {
        return;
      }
    }
  }
  // Cuts that fall between the scene's chunks do load, and were checked.
  EXPECT_GT(i32CleanParts, 0);
}

TEST_F(DamagedDocumentTest, RandomByteFlipsNeitherCrashNorLeak) {
  std::mt19937 rRandom(20240611u);
  std::uniform_int_distribution<size_t> rPosition(DOCUMENT_SIGNATURE_LENGTH, m_rSample.size() - 1);
  std::uniform_int_distribution<int32_t> rFlipCount(1, 8);
  std::uniform_int_distribution<int32_t> rMask(1, 255);
  for (int32_t i32Round = 0; i32Round < 3000; ++i32Round) {
    SCOPED_TRACE("round " + std::to_string(i32Round));
    std::vector<uint8_t> rDamaged = m_rSample;
    for (int32_t i32Flip = rFlipCount(rRandom); i32Flip > 0; --i32Flip) {
      rDamaged[rPosition(rRandom)] ^= static_cast<uint8_t>(rMask(rRandom));
    }
    load_bytes(rDamaged, [](int32_t, SceneC* pScene) {
      // Whatever was damaged, the clock must be able to run.
      EXPECT_GT(pScene->get_beats_per_min(), 0);
      EXPECT_GT(pScene->get_beat_units(), 0);
      EXPECT_GT(pScene->get_tick_division(), 0);
    });
    if (HasFailure()) {
      return;
    }
  }
}

}  // namespace
