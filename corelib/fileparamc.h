#ifndef CORELIB_FILEPARAMC_H
#define CORELIB_FILEPARAMC_H

#include <cstdint>

#include "corelib/classidentc.h"
#include "corelib/parambasec.h"

class ImportHandleC;
class TimeBaseC;

// A reference to an imported file, limited by filters to the importable
// classes the effect can use. It has no track and cannot be animated; the
// file list owns the handle.
class FileParamC : public ParamBaseC {
 public:
  static FileParamC* create_param(GizmoBaseC* pParent, const char* szName, SuperClassIdentC rSuperFilter,
                                  ClassIdentC rClassFilter, int32_t i32Id, uint32_t ui32Style);

  DataObjectC* create() override;
  EditableC* create_linked(EditableC* pOriginal) override;
  void copy(EditableC* pSource) override;
  void restore(EditableC* pSource) override;
  // The file's chunks only when there is a file. Loading registers a file
  // fixup with the reader; the document loader fills in the handle later.
  int32_t save(ChunkWriterC* pWriter) override;
  int32_t load(ChunkReaderC* pReader) override;

  int32_t get_type() override;
  // Ignored: the step is always 1.
  void set_increment(float f32Increment) override;
  float get_increment() override;
  // No limits: writes nothing and returns false.
  bool get_min_max(float* pMin, float* pMax) override;
  // Files are chosen with set_file: these do nothing.
  int32_t set_value(int32_t i32Time, const float* pValue) override;
  void get_value(int32_t i32Time, float* pOut) override;

  // A null handle clears the reference; a handle whose importable the
  // filters refuse changes nothing. The gizmo is told in every case.
  virtual int32_t set_file(ImportHandleC* pHandle);
  virtual ImportHandleC* get_file();
  virtual SuperClassIdentC get_super_filter();
  virtual ClassIdentC get_class_filter();
  virtual void set_super_filter(SuperClassIdentC rFilter);
  virtual void set_class_filter(ClassIdentC rFilter);
  virtual void set_time_offset(int32_t i32Offset);
  virtual void set_time_scale(float f32Scale);
  virtual int32_t get_time_offset();
  virtual float get_time_scale();
  // The importable's duration scaled by the time scale; -1 without one.
  virtual int32_t get_duration(TimeBaseC* pTimeContext);
  // The importable's labels; 0 without one.
  virtual float get_first_label(TimeBaseC* pTimeContext);
  virtual float get_last_label(TimeBaseC* pTimeContext);

 protected:
  FileParamC(GizmoBaseC* pParent, const char* szName, SuperClassIdentC rSuperFilter, ClassIdentC rClassFilter,
             int32_t i32Id, uint32_t ui32Style);
  explicit FileParamC(EditableC* pOriginal);

 private:
  void take_over_fields(FileParamC* pSource);
  int32_t load_file_reference(ChunkReaderC* pReader);
  int32_t load_timing(ChunkReaderC* pReader);

  ImportHandleC* m_pFile = nullptr;
  SuperClassIdentC m_rSuperFilter;
  ClassIdentC m_rClassFilter;
  int32_t m_i32TimeOffset = 0;
  float m_f32TimeScale = 1.0f;
};

#endif
