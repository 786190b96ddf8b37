#ifndef CORELIB_FLOATPARAMC_H
#define CORELIB_FLOATPARAMC_H

#include <cstdint>

#include "corelib/parambasec.h"

// A float parameter. Its typed setter and getter are the generic ones.
class FloatParamC : public ParamBaseC {
 public:
  static FloatParamC* create_param(GizmoBaseC* pParent, const char* szName, float f32Default, int32_t i32Id,
                                   uint32_t ui32Style, bool bAnimatable, float f32Min, float f32Max,
                                   float f32Increment);

  DataObjectC* create() override;
  EditableC* create_linked(EditableC* pOriginal) override;
  void copy(EditableC* pSource) override;
  void restore(EditableC* pSource) override;
  int32_t save(ChunkWriterC* pWriter) override;
  int32_t load(ChunkReaderC* pReader) override;

  int32_t get_type() override;
  void set_increment(float f32Increment) override;
  float get_increment() override;
  bool get_min_max(float* pMin, float* pMax) override;
  int32_t set_value(int32_t i32Time, const float* pValue) override;
  void get_value(int32_t i32Time, float* pOut) override;

  // Clamping applies when min and max differ; the value is not re-clamped.
  virtual void set_min_max(float f32Min, float f32Max);
  virtual float get_min();
  virtual float get_max();

 protected:
  FloatParamC(GizmoBaseC* pParent, const char* szName, float f32Default, int32_t i32Id, uint32_t ui32Style);
  explicit FloatParamC(EditableC* pOriginal);

 private:
  void take_over_fields(FloatParamC* pSource);
  float clamp(float f32Value);
  int32_t load_values(ChunkReaderC* pReader);

  float m_f32Value = 0.0f;
  float m_f32Increment = 0.01f;
  float m_f32Min = 0.0f;
  float m_f32Max = 0.0f;
};

#endif
