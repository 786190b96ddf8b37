#ifndef CORELIB_ANIMKEYC_H
#define CORELIB_ANIMKEYC_H

#include <cstdint>

#include "corelib/editablec.h"

// Key flag bits.
constexpr uint32_t KEY_EDITOR_STATE = 0x1;  // cleared in the saved record
constexpr uint32_t KEY_LINEAR = 0x2;
constexpr uint32_t KEY_SMOOTH = 0x4;
constexpr uint32_t KEY_HOLD = 0x8;

constexpr int32_t KEY_MAX_VALUES = 4;

// A keyframe: a time, up to four values with their in and out tangents, and
// the per-key spline settings. With no values it is a time segment's trim key.
class AnimKeyC : public EditableC {
 public:
  static AnimKeyC* create_key(int32_t i32ValueCount);

  DataObjectC* create() override;
  EditableC* create_linked(EditableC* pOriginal) override;
  void copy(EditableC* pSource) override;
  void restore(EditableC* pSource) override;
  // The key record, inside the chunk the caller opened.
  int32_t save(ChunkWriterC* pWriter) override;
  int32_t load(ChunkReaderC* pReader) override;

  virtual int32_t get_time();
  virtual void set_time(int32_t i32Time);
  virtual void set_flags(uint32_t ui32Flags);
  virtual void add_flags(uint32_t ui32Flags);
  virtual void remove_flags(uint32_t ui32Flags);
  virtual void toggle_flags(uint32_t ui32Flags);
  virtual uint32_t get_flags();
  virtual float get_ease_in();
  virtual float get_ease_out();
  virtual float get_tension();
  virtual float get_continuity();
  virtual float get_bias();
  virtual void set_ease_in(float f32Value);
  virtual void set_ease_out(float f32Value);
  virtual void set_tension(float f32Value);
  virtual void set_continuity(float f32Value);
  virtual void set_bias(float f32Value);
  // Each of these copies get_value_count() floats.
  virtual void get_values(float* pOut);
  virtual void set_values(const float* pIn);
  virtual void get_in_tangent(float* pOut);
  virtual void set_in_tangent(const float* pIn);
  virtual void get_out_tangent(float* pOut);
  virtual void set_out_tangent(const float* pIn);

  int32_t get_value_count() const { return m_i32ValueCount; }

 protected:
  // i32ValueCount is limited to 0..KEY_MAX_VALUES.
  explicit AnimKeyC(int32_t i32ValueCount);
  AnimKeyC(EditableC* pOriginal, int32_t i32ValueCount);
  ~AnimKeyC() override;

 private:
  void take_over(AnimKeyC* pSource);
  void read_values(ChunkReaderC* pReader, uint32_t ui32StoredCount);

  float* m_pData = nullptr;  // values, then in-tangents, then out-tangents
  int32_t m_i32ValueCount = 0;
  float m_f32EaseIn = 0.0f;
  float m_f32EaseOut = 0.0f;
  float m_f32Tension = 0.0f;
  float m_f32Continuity = 0.0f;
  float m_f32Bias = 0.0f;
  uint32_t m_ui32Flags = KEY_LINEAR;
  int32_t m_i32Time = 0;
};

#endif
