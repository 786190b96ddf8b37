#ifndef TESTS_SUPPORT_EFFECTDOCUMENTTESTC_H
#define TESTS_SUPPORT_EFFECTDOCUMENTTESTC_H

#include <gtest/gtest.h>

#include <cstdint>

#include "corelib/classidentc.h"
#include "corelib/effectbasec.h"
#include "docfile/chunkwriterc.h"
#include "registry/classregistryc.h"
#include "tests/support/documentfilec.h"
#include "tests/support/testeffectc.h"

// Tests of objects that hold effects and go through a document: a registry
// that can create the test effect, a document file, and the check that no
// effect outlives the test.
class EffectDocumentTestC : public ::testing::Test {
 protected:
  void SetUp() override { m_rRegistry.register_internal(test_effect_desc()); }
  void TearDown() override { EXPECT_EQ(0, TestEffectC::live_count()); }

  ClassRegistryC m_rRegistry;
  DocumentFileC m_rFile;
};

// An effect chunk as a layer writes it; without pBody the class has no data.
inline void write_effect_chunk(ChunkWriterC& rWriter, const ClassIdentC& rClass, const char* szName,
                               EffectBaseC* pBody) {
  const uint32_t rIdent[2] = {rClass.get_first(), rClass.get_second()};
  rWriter.begin_chunk(0x2000, 1);
  rWriter.write(rIdent, sizeof(rIdent));
  rWriter.write_str(szName);
  if (pBody) {
    pBody->save(&rWriter);
  }
  rWriter.end_chunk();
}

#endif
