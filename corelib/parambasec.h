#ifndef CORELIB_PARAMBASEC_H
#define CORELIB_PARAMBASEC_H

#include <cstdint>
#include <string>

#include "corelib/editablec.h"

class AnimTrackC;
class GizmoBaseC;

// Flag bits of a parameter.
constexpr uint32_t PARAM_FLAG_NEW = 0x80;          // set in every new parameter; only kept
constexpr uint32_t PARAM_FLAG_ANIMATED = 0x100;    // values come from the track
constexpr uint32_t PARAM_FLAG_ANIMATABLE = 0x200;
constexpr uint32_t PARAM_FLAG_CLAMP = 0x400;       // values limited to [min, max]

// Kind codes, as get_type() returns them and documents store them. The kinds
// with a track use the same code as its type.
constexpr int32_t PARAM_KIND_INT = 1;
constexpr int32_t PARAM_KIND_FLOAT = 2;
constexpr int32_t PARAM_KIND_VECTOR2 = 3;
constexpr int32_t PARAM_KIND_COLOR = 5;
constexpr int32_t PARAM_KIND_FILE = 7;

constexpr int32_t PARAM_DEFAULT_EDIT_HINT = 60;

// The chunk every kind saves first: flags, edit hint and the track.
constexpr uint32_t PARAM_CHUNK_BASE = 0x1000;
constexpr uint32_t PARAM_CHUNK_VERSION = 1;

// Limits a value to [min, max]; a value that is not at least min (NaN too)
// becomes min.
template <class T>
T clamp_component(T value, T min, T max) {
  if (!(value >= min)) {
    value = min;
  }
  if (value > max) {
    value = max;
  }
  return value;
}

// One setting of an effect, held in a gizmo: a constant value of a fixed kind
// and, when animated, a keyframe track giving the value at any time.
//
// Setting a value stores it (clamped) as the constant and, when animated,
// writes it into the key at that time, adding one when there is none; then
// the gizmo hears of the change. Getting a value asks the track when the
// parameter is animated and the track has keys.
class ParamBaseC : public EditableC {
 public:
  // Both take over id, style, flags, edit hint, parent and name; copy then
  // copies the source's keys into the own track, restore shares the
  // source's track.
  void copy(EditableC* pSource) override;
  void restore(EditableC* pSource) override;
  // Flags and edit hint at the current level, without a chunk of their own.
  int32_t save(ChunkWriterC* pWriter) override;
  int32_t load(ChunkReaderC* pReader) override;

  virtual void set_flags(uint32_t ui32Flags);
  virtual void add_flags(uint32_t ui32Flags);
  virtual void remove_flags(uint32_t ui32Flags);
  virtual void toggle_flags(uint32_t ui32Flags);
  virtual uint32_t get_flags();
  // Hints below 1 are stored as 1.
  virtual void set_edit_hint(int32_t i32Hint);
  virtual int32_t get_edit_hint();
  virtual int32_t get_type() = 0;
  virtual void set_name(const char* szName);
  virtual const char* get_name();
  // The same for every kind, so defined once here.
  virtual void set_track(AnimTrackC* pTrack);
  virtual AnimTrackC* get_track();
  virtual void set_increment(float f32Increment) = 0;
  virtual float get_increment() = 0;
  // The limits as floats, one per component; returns whether values are clamped.
  virtual bool get_min_max(float* pMin, float* pMax) = 0;
  virtual void set_id(int32_t i32Id);
  virtual int32_t get_id();
  virtual void set_style(uint32_t ui32Style);
  virtual uint32_t get_style();
  // pValue holds the kind's components as floats. Returns the gizmo's answer
  // to the change notice, 0 without a gizmo.
  virtual int32_t set_value(int32_t i32Time, const float* pValue) = 0;
  virtual void get_value(int32_t i32Time, float* pOut) = 0;
  virtual void set_parent(GizmoBaseC* pParent);
  virtual GizmoBaseC* get_parent();

 protected:
  // Takes ownership of pTrack, null for a kind without one.
  ParamBaseC(GizmoBaseC* pParent, const char* szName, int32_t i32Id, uint32_t ui32Style, AnimTrackC* pTrack);
  explicit ParamBaseC(EditableC* pOriginal);
  // Releases the track unless this is a restore copy.
  ~ParamBaseC() override;

  // Animated, with a track that has keys: values come from the track.
  bool has_track_value();
  // Clamping applies when the flag is set.
  bool is_clamped();
  // The rest of setting a value once the kind has stored its clamped
  // constant: pValues holds i32Count components, written into the key at
  // i32Time when animated; then the gizmo is told.
  int32_t finish_set_value(int32_t i32Time, const float* pValues, int32_t i32Count);
  // The gizmo's answer to a change at i32Time, 0 without a gizmo.
  int32_t notify_parent(int32_t i32Time);
  // Chunk PARAM_CHUNK_BASE: flags, edit hint, and the track's chunks inside.
  int32_t save_base_chunk(ChunkWriterC* pWriter);
  // A value chunk of the kind holding ui32Size bytes; the writer's first failure.
  static int32_t save_value_chunk(ChunkWriterC* pWriter, uint32_t ui32Id, const void* pData, uint32_t ui32Size);
  int32_t load_base_chunk(ChunkReaderC* pReader);
  // The loader loop of every kind: the base chunk, then what
  // rLoadValue(id, version) reads of the kind's own chunks.
  template <class LoadValueT>
  int32_t load_param(ChunkReaderC* pReader, LoadValueT&& rLoadValue) {
    int32_t i32Result = load_chunks(pReader, [&](uint32_t ui32Id, uint32_t ui32Version) -> int32_t {
      if (ui32Version != PARAM_CHUNK_VERSION) {
        return CHUNK_OK;
      }
      if (ui32Id == PARAM_CHUNK_BASE) {
        return load_base_chunk(pReader);
      }
      return rLoadValue(ui32Id);
    });
    return i32Result == CHUNK_END ? CHUNK_OK : i32Result;
  }


 private:
  void take_over_fields(ParamBaseC* pSource);

  int32_t m_i32Id = 0;
  uint32_t m_ui32Style = 0;
  uint32_t m_ui32Flags = PARAM_FLAG_NEW;
  int32_t m_i32EditHint = PARAM_DEFAULT_EDIT_HINT;
  AnimTrackC* m_pTrack = nullptr;
  std::string m_sName;
  GizmoBaseC* m_pParent = nullptr;
};

#endif
