#ifndef CORELIB_LAYERC_H
#define CORELIB_LAYERC_H

#include <cstdint>
#include <string>
#include <vector>

#include "corelib/editablec.h"

class EffectBaseC;
class TimeSegmentC;

constexpr uint32_t LAYER_DEFAULT_FLAGS = 0x14;

// A named, timed stack of effects. The layer owns its effects and its time
// segment, and stores each effect by class identifier so that loading can
// recreate it through the class registry.
class LayerC : public EditableC {
 public:
  // A default layer: no name, no effects, a segment without keys.
  static LayerC* create_layer();

  DataObjectC* create() override;
  EditableC* create_linked(EditableC* pOriginal) override;
  void copy(EditableC* pSource) override;
  void restore(EditableC* pSource) override;
  int32_t save(ChunkWriterC* pWriter) override;
  int32_t load(ChunkReaderC* pReader) override;

  TimeSegmentC* get_time_segment();
  void set_name(const char* szName);
  const char* get_name();

  int32_t get_effect_count();
  EffectBaseC* get_effect(int32_t i32Index);
  // Inserts at the front.
  void add_effect(EffectBaseC* pEffect);
  // Without an undo object the effect is released; with one, the undo object
  // owns it after the note.
  void delete_effect(int32_t i32Index);
  // Hands the effect to the caller, or null for an invalid index.
  EffectBaseC* remove_effect(int32_t i32Index);
  // Before position i32Index; appends when i32Index is past the end.
  void insert_effect(int32_t i32Index, EffectBaseC* pEffect);

  void set_flags(uint32_t ui32Flags);
  void add_flags(uint32_t ui32Flags);
  void del_flags(uint32_t ui32Flags);
  void toggle_flags(uint32_t ui32Flags);
  uint32_t get_flags();

 protected:
  LayerC();
  // For create_linked: restore supplies the time segment and the effects.
  explicit LayerC(EditableC* pOriginal);
  ~LayerC() override;

 private:
  bool is_valid_index(int32_t i32Index);
  void release_effects();
  int32_t load_settings(ChunkReaderC* pReader);
  int32_t load_effect(ChunkReaderC* pReader);

  std::string m_sName;
  std::vector<EffectBaseC*> m_rEffects;
  uint32_t m_ui32Flags = LAYER_DEFAULT_FLAGS;
  TimeSegmentC* m_pTimeSegment = nullptr;
};

#endif
