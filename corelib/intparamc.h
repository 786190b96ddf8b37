#ifndef CORELIB_INTPARAMC_H
#define CORELIB_INTPARAMC_H

#include <cstdint>
#include <string>
#include <vector>

#include "corelib/parambasec.h"

// An integer parameter. Its track interpolates in floats and truncates toward
// zero. Labels name values for an enumerated choice, kept in ascending order
// of value with each value once.
class IntParamC : public ParamBaseC {
 public:
  static IntParamC* create_param(GizmoBaseC* pParent, const char* szName, int32_t i32Default, int32_t i32Id,
                                 uint32_t ui32Style, bool bAnimatable, int32_t i32Min, int32_t i32Max,
                                 int32_t i32Increment);

  DataObjectC* create() override;
  EditableC* create_linked(EditableC* pOriginal) override;
  void copy(EditableC* pSource) override;
  void restore(EditableC* pSource) override;
  int32_t save(ChunkWriterC* pWriter) override;
  int32_t load(ChunkReaderC* pReader) override;

  int32_t get_type() override;
  // Stored truncated toward zero.
  void set_increment(float f32Increment) override;
  float get_increment() override;
  bool get_min_max(float* pMin, float* pMax) override;
  // pValue[0] truncated toward zero.
  int32_t set_value(int32_t i32Time, const float* pValue) override;
  void get_value(int32_t i32Time, float* pOut) override;

  // Clamping applies when min and max differ; the value is not re-clamped.
  virtual void set_min_max(int32_t i32Min, int32_t i32Max);
  virtual int32_t get_min();
  virtual int32_t get_max();
  virtual void clear_labels();
  // Replaces the text of a value already labelled.
  virtual void set_label(int32_t i32Value, const std::string& rText);
  virtual void set_label(int32_t i32Value, const char* szText);
  virtual int32_t get_label_count();
  virtual const char* get_label_text(int32_t i32Index);
  virtual int32_t get_label_value(int32_t i32Index);
  virtual void remove_label(int32_t i32Value);
  virtual int32_t set_value(int32_t i32Time, const int32_t* pValue);
  virtual void get_value(int32_t i32Time, int32_t* pOut);

  // The increment as stored, which a float cannot hold beyond 2^24.
  void set_int_increment(int32_t i32Increment) { m_i32Increment = i32Increment; }
  int32_t get_int_increment() const { return m_i32Increment; }

 protected:
  IntParamC(GizmoBaseC* pParent, const char* szName, int32_t i32Default, int32_t i32Id, uint32_t ui32Style);
  explicit IntParamC(EditableC* pOriginal);

 private:
  struct LabelS {
    int32_t m_i32Value;
    std::string m_sText;
  };

  void take_over_fields(IntParamC* pSource);
  int32_t clamp(int32_t i32Value);
  int32_t load_values(ChunkReaderC* pReader);
  int32_t load_label(ChunkReaderC* pReader);

  int32_t m_i32Value = 0;
  int32_t m_i32Increment = 1;
  int32_t m_i32Min = 0;
  int32_t m_i32Max = 0;
  std::vector<LabelS> m_rLabels;
};

#endif
