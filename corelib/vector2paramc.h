#ifndef CORELIB_VECTOR2PARAMC_H
#define CORELIB_VECTOR2PARAMC_H

#include <cstdint>

#include "corelib/parambasec.h"
#include "corelib/vector2c.h"

// A 2-D vector parameter; limits apply per component.
class Vector2ParamC : public ParamBaseC {
 public:
  static Vector2ParamC* create_param(GizmoBaseC* pParent, const char* szName, const Vector2C& rDefault, int32_t i32Id,
                                     uint32_t ui32Style, bool bAnimatable, const Vector2C& rMin,
                                     const Vector2C& rMax, float f32Increment);

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

  // Clamping applies unless min equals max; the value is not re-clamped.
  virtual void set_min_max(const Vector2C& rMin, const Vector2C& rMax);
  virtual const Vector2C& get_min();
  virtual const Vector2C& get_max();
  virtual int32_t set_value(int32_t i32Time, const Vector2C& rValue);
  virtual void get_value(int32_t i32Time, Vector2C* pOut);

 protected:
  Vector2ParamC(GizmoBaseC* pParent, const char* szName, const Vector2C& rDefault, int32_t i32Id, uint32_t ui32Style);
  explicit Vector2ParamC(EditableC* pOriginal);

 private:
  void take_over_fields(Vector2ParamC* pSource);
  Vector2C clamp(const Vector2C& rValue);
  int32_t load_values(ChunkReaderC* pReader);

  Vector2C m_rValue;
  float m_f32Increment = 0.01f;
  Vector2C m_rMin;
  Vector2C m_rMax;
};

#endif
