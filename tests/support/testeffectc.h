#ifndef TESTS_SUPPORT_TESTEFFECTC_H
#define TESTS_SUPPORT_TESTEFFECTC_H

#include <array>
#include <cstdint>
#include <vector>

#include "corelib/affine2c.h"
#include "corelib/box2c.h"
#include "corelib/effectbasec.h"
#include "corelib/layerc.h"
#include "corelib/vector2c.h"
#include "docfile/chunkwriterc.h"
#include "tests/support/livecountc.h"
#include "tests/support/testclassdescc.h"

// A minimal effect class for tests: the base part in chunk 0x1000 and one
// integer of its own in chunk 0x2000, so round trips can tell effects apart.
// It counts live instances so ownership faults show as a wrong count.
class TestEffectC : public EffectBaseC {
 public:
  static ClassIdentC class_ident() { return ClassIdentC(0x7E57EFFC, 0x00000001); }
  static int32_t live_count() { return LiveCountC<TestEffectC>::count(); }
  static TestEffectC* make() { return new TestEffectC(); }
  static TestEffectC* make(int32_t i32Value) {
    TestEffectC* pEffect = new TestEffectC();
    pEffect->m_i32Value = i32Value;
    return pEffect;
  }

  DataObjectC* create() override { return new TestEffectC(); }
  EditableC* create_linked(EditableC* pOriginal) override { return new TestEffectC(pOriginal); }
  void copy(EditableC* pSource) override {
    EffectBaseC::copy(pSource);
    m_i32Value = static_cast<TestEffectC*>(pSource)->m_i32Value;
  }
  void restore(EditableC* pSource) override {
    EffectBaseC::restore(pSource);
    m_i32Value = static_cast<TestEffectC*>(pSource)->m_i32Value;
  }
  int32_t save(ChunkWriterC* pWriter) override {
    pWriter->begin_chunk(0x1000, 1);
    EffectBaseC::save(pWriter);
    pWriter->end_chunk();
    pWriter->begin_chunk(0x2000, 1);
    int32_t i32Result = pWriter->write(&m_i32Value, sizeof(m_i32Value));
    pWriter->end_chunk();
    return i32Result;
  }
  int32_t load(ChunkReaderC* pReader) override {
    return load_chunks(pReader, [&](uint32_t ui32Id, uint32_t ui32Version) -> int32_t {
      if (ui32Id == 0x1000 && ui32Version == 1) {
        return EffectBaseC::load(pReader);
      }
      if (ui32Id == 0x2000 && ui32Version == 1) {
        return pReader->read(&m_i32Value, sizeof(m_i32Value));
      }
      return CHUNK_OK;
    });
  }

  int32_t get_gizmo_count() override { return 0; }
  GizmoBaseC* get_gizmo(int32_t) override { return nullptr; }
  ClassIdentC get_class_ident() override { return class_ident(); }
  const char* get_class_name() override { return "Test Effect"; }
  void set_default_file(ImportHandleC*) override {}
  ParamBaseC* get_default_param(int32_t) override { return nullptr; }
  int32_t update_notify(int32_t i32GizmoId, int32_t i32ParamId, int32_t i32Time) override {
    m_rNotices.push_back({i32GizmoId, i32ParamId, i32Time});
    return m_i32NotifyResult;
  }
  bool hit_test(const Vector2C&) override { return false; }
  void prepare(int32_t i32Reason, DeviceTableC*, TimeBaseC*) override { m_rPrepareReasons.push_back(i32Reason); }
  void evaluate(int32_t i32Time, TimeBaseC*) override { m_rEvaluateTimes.push_back(i32Time); }
  void draw(DeviceTableC*) override { ++m_i32DrawCount; }
  Box2C get_bbox() override { return Box2C(); }
  const Affine2C& get_transform() override { return m_rTransform; }

  int32_t m_i32Value = 0;
  std::vector<int32_t> m_rPrepareReasons;
  std::vector<int32_t> m_rEvaluateTimes;
  int32_t m_i32DrawCount = 0;
  // Each update_notify: gizmo id, parameter id, time; answered with m_i32NotifyResult.
  std::vector<std::array<int32_t, 3>> m_rNotices;
  int32_t m_i32NotifyResult = 0;

 private:
  TestEffectC() = default;
  explicit TestEffectC(EditableC* pOriginal) : EffectBaseC(pOriginal) {}
  ~TestEffectC() override = default;

  Affine2C m_rTransform;
  LiveCountC<TestEffectC> m_rLiveCount;
};

class TestEffectDescC : public TestClassDescC {
 public:
  DataObjectC* make_object() override { return TestEffectC::make(); }
  int32_t get_class_kind() override { return PluginClass::CLASS_KIND_EFFECT; }
  ClassIdentC get_class_ident() override { return TestEffectC::class_ident(); }
  SuperClassIdentC get_super_class_ident() override { return SUPERCLASS_EFFECT; }
  const char* get_class_name() override { return "Test Effect"; }
  const char* get_description() override { return "Effect for tests"; }
};

// The value of the test effect at i32Index of pLayer.
inline int32_t effect_value(LayerC* pLayer, int32_t i32Index) {
  return static_cast<TestEffectC*>(pLayer->get_effect(i32Index))->m_i32Value;
}

inline TestEffectDescC* test_effect_desc() {
  static TestEffectDescC s_rDesc;
  return &s_rDesc;
}

#endif
