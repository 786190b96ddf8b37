#ifndef CORELIB_GIZMOBASEC_H
#define CORELIB_GIZMOBASEC_H

#include <cstdint>
#include <string>

#include "corelib/editablec.h"

class EffectBaseC;
class ParamBaseC;

constexpr uint32_t GIZMO_DEFAULT_FLAGS = 0x40;

// A named group of an effect's parameters. It passes every change of one of
// them on to the effect, and saves and loads them by their ids.
class GizmoBaseC : public EditableC {
 public:
  // Both take over name, flags and id; restore also the owner.
  void copy(EditableC* pSource) override;
  void restore(EditableC* pSource) override;
  // The name and flags, then a chunk per parameter, keyed by its id.
  int32_t save(ChunkWriterC* pWriter) override;
  // Fills the parameters the effect made, matched by id and kind; chunks that
  // match none are skipped.
  int32_t load(ChunkReaderC* pReader) override;

  virtual const char* get_name();
  virtual void set_name(const char* szName);
  virtual int32_t get_param_count() = 0;
  // Null for an index out of range.
  virtual ParamBaseC* get_param(int32_t i32Index) = 0;
  // The owner effect's answer to the change, 0 without one.
  virtual int32_t notify_change(int32_t i32ParamId, int32_t i32Time);
  virtual int32_t get_id();
  virtual void set_id(int32_t i32Id);
  virtual void set_flags(uint32_t ui32Flags);
  virtual void add_flags(uint32_t ui32Flags);
  virtual void remove_flags(uint32_t ui32Flags);
  virtual void toggle_flags(uint32_t ui32Flags);
  virtual uint32_t get_flags();

 protected:
  GizmoBaseC(EffectBaseC* pOwner, const char* szName, int32_t i32Id);
  explicit GizmoBaseC(EditableC* pOriginal);

 private:
  void take_over_fields(GizmoBaseC* pSource);
  int32_t load_settings(ChunkReaderC* pReader);
  int32_t load_param(ChunkReaderC* pReader, int32_t i32ParamId);
  ParamBaseC* find_param(int32_t i32ParamId);

  std::string m_sName;
  uint32_t m_ui32Flags = GIZMO_DEFAULT_FLAGS;
  int32_t m_i32Id = 0;
  EffectBaseC* m_pOwner = nullptr;
};

#endif
