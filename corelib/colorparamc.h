#ifndef CORELIB_COLORPARAMC_H
#define CORELIB_COLORPARAMC_H

#include <cstdint>

#include "corelib/parambasec.h"
#include "corelib/rgbacolorc.h"

// A colour parameter: red, green, blue and alpha, each always limited to
// [0, 1] when set or read from the track. The default is stored as given.
class ColorParamC : public ParamBaseC {
 public:
  static ColorParamC* create_param(GizmoBaseC* pParent, const char* szName, const RgbaColorC& rDefault, int32_t i32Id,
                                   uint32_t ui32Style, bool bAnimatable);

  DataObjectC* create() override;
  EditableC* create_linked(EditableC* pOriginal) override;
  void copy(EditableC* pSource) override;
  void restore(EditableC* pSource) override;
  int32_t save(ChunkWriterC* pWriter) override;
  int32_t load(ChunkReaderC* pReader) override;

  int32_t get_type() override;
  // Ignored: the step is always one in 256.
  void set_increment(float f32Increment) override;
  float get_increment() override;
  // Always 0 and 1 for every component.
  bool get_min_max(float* pMin, float* pMax) override;
  int32_t set_value(int32_t i32Time, const float* pValue) override;
  void get_value(int32_t i32Time, float* pOut) override;

  virtual int32_t set_value(int32_t i32Time, const RgbaColorC& rValue);
  virtual void get_value(int32_t i32Time, RgbaColorC* pOut);

 protected:
  ColorParamC(GizmoBaseC* pParent, const char* szName, const RgbaColorC& rDefault, int32_t i32Id, uint32_t ui32Style);
  explicit ColorParamC(EditableC* pOriginal);

 private:
  int32_t load_values(ChunkReaderC* pReader);

  RgbaColorC m_rValue{0.0f, 0.0f, 0.0f, 1.0f};
};

#endif
