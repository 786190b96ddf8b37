#ifndef CORELIB_EFFECTBASEC_H
#define CORELIB_EFFECTBASEC_H

#include <cstdint>
#include <string>

#include "corelib/classidentc.h"
#include "corelib/editablec.h"

class Affine2C;
class Box2C;
class DeviceTableC;
class GizmoBaseC;
class ImportHandleC;
class ParamBaseC;
class TimeBaseC;
class TimeSegmentC;
class Vector2C;

// Selectors of get_default_param.
constexpr int32_t DEFAULT_PARAM_POSITION = 1;
constexpr int32_t DEFAULT_PARAM_ROTATION = 2;
constexpr int32_t DEFAULT_PARAM_SCALE = 3;
constexpr int32_t DEFAULT_PARAM_PIVOT = 4;

constexpr int32_t EFFECT_DEFAULT_FLAGS = 0x24;

// Base of every effect. The base part (name, flags, time segment) is shared by
// all effects; a concrete effect calls copy, restore, save and load of this
// class first, inside a chunk of its own, and then handles its own data.
class EffectBaseC : public EditableC {
 public:
  void copy(EditableC* pSource) override;
  void restore(EditableC* pSource) override;
  // The base part at the current chunk level: name, flags, time segment.
  int32_t save(ChunkWriterC* pWriter) override;
  // Mirror of save; returns 0 whatever the reads returned.
  int32_t load(ChunkReaderC* pReader) override;

  virtual void set_name(const char* szName);
  virtual const char* get_name();
  virtual int32_t get_gizmo_count() = 0;
  virtual GizmoBaseC* get_gizmo(int32_t i32Index) = 0;
  virtual void set_flags(int32_t i32Flags);
  virtual void add_flags(int32_t i32Flags);
  virtual void remove_flags(int32_t i32Flags);
  virtual void toggle_flags(int32_t i32Flags);
  virtual int32_t get_flags();
  virtual TimeSegmentC* get_time_segment();
  virtual SuperClassIdentC get_super_class_ident();
  virtual ClassIdentC get_class_ident() = 0;
  virtual const char* get_class_name() = 0;
  virtual void set_default_file(ImportHandleC* pHandle) = 0;
  virtual ParamBaseC* get_default_param(int32_t i32Which) = 0;
  virtual int32_t update_notify(int32_t i32GizmoId, int32_t i32ParamId, int32_t i32Time);
  virtual bool hit_test(const Vector2C& rPoint) = 0;
  virtual void prepare(int32_t i32Reason, DeviceTableC* pDevices, TimeBaseC* pTimeContext) = 0;
  virtual void evaluate(int32_t i32Time, TimeBaseC* pTimeContext) = 0;
  virtual void draw(DeviceTableC* pDevices) = 0;
  virtual Box2C get_bbox() = 0;
  virtual const Affine2C& get_transform() = 0;

 protected:
  EffectBaseC();
  // For create_linked: restore supplies the time segment.
  explicit EffectBaseC(EditableC* pOriginal);
  ~EffectBaseC() override;

 private:
  std::string m_sName;
  int32_t m_i32Flags = EFFECT_DEFAULT_FLAGS;
  TimeSegmentC* m_pTimeSegment = nullptr;
};

#endif
