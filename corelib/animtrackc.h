#ifndef CORELIB_ANIMTRACKC_H
#define CORELIB_ANIMTRACKC_H

#include <cstdint>
#include <vector>

#include "corelib/animkeyc.h"
#include "corelib/editablec.h"

class RgbaColorC;
class Vector2C;

// Value types of a track: the parameter kind codes that have a track, plus a
// three-component type that no parameter kind uses.
constexpr int32_t TRACK_TYPE_NONE = 0;
constexpr int32_t TRACK_TYPE_INT = 1;
constexpr int32_t TRACK_TYPE_FLOAT = 2;
constexpr int32_t TRACK_TYPE_VECTOR2 = 3;
constexpr int32_t TRACK_TYPE_VECTOR3 = 4;
constexpr int32_t TRACK_TYPE_COLOR = 5;

// The components of a type's values; -1 for a type outside the table.
int32_t track_value_count(int32_t i32Type);

// Out-of-range modes, before the first and after the last key. Other codes
// behave as constant.
constexpr int32_t TRACK_MODE_CONSTANT = 1;
constexpr int32_t TRACK_MODE_REPEAT = 2;
constexpr int32_t TRACK_MODE_LOOP = 3;

// A keyframe track: keys sorted by time, giving a parameter's value at any
// time. Keys are interpolated as hold, linear or Hermite segments whose
// tangents prepare() derives from the keys' spline settings.
class AnimTrackC : public EditableC {
 public:
  static AnimTrackC* create_track(int32_t i32Type);

  DataObjectC* create() override;
  EditableC* create_linked(EditableC* pOriginal) override;
  void copy(EditableC* pSource) override;
  void restore(EditableC* pSource) override;
  int32_t save(ChunkWriterC* pWriter) override;
  // Ends with sort_keys() and prepare() when every chunk was read.
  int32_t load(ChunkReaderC* pReader) override;

  virtual int32_t get_key_count();
  virtual AnimKeyC* get_key(int32_t i32Index);
  // Takes the key out. With an undo object set, the undo object is told and
  // its answer returned; without one the key is released at once and null
  // returned, since nobody else could release it. An index out of range does
  // nothing.
  virtual EditableC* remove_key(int32_t i32Index);
  virtual AnimKeyC* find_key(int32_t i32Time);
  // A new key at i32Time holding the curve's present value there. Does not
  // look for a key already at that time: callers use find_key first.
  virtual AnimKeyC* add_key(int32_t i32Time);
  virtual void set_before_mode(int32_t i32Mode);
  virtual void set_after_mode(int32_t i32Mode);
  virtual int32_t get_before_mode();
  virtual int32_t get_after_mode();
  virtual void sort_keys();
  // Recomputes every key's tangents.
  virtual void prepare();
  virtual void get_color(RgbaColorC* pOut, int32_t i32Time);
  virtual void get_vector3(float* pOut, int32_t i32Time);
  virtual void get_vector2(Vector2C* pOut, int32_t i32Time);
  virtual void get_float(float* pOut, int32_t i32Time);
  // The first component truncated toward zero.
  virtual void get_int(int32_t* pOut, int32_t i32Time);
  // Writes get_value_count() floats.
  virtual void get_value(float* pOut, int32_t i32Time);
  virtual float get_min_value();
  virtual float get_max_value();
  virtual int32_t get_first_key_time();
  virtual int32_t get_last_key_time();
  virtual int32_t get_type();
  // Also derives the value count; a type outside the table leaves it as it is.
  virtual void set_type(int32_t i32Type);
  virtual int32_t get_value_count();

  // A document stores the count apart from the type, and loading takes it
  // as stored; keys added afterwards get this many values. A count outside
  // 0 to KEY_MAX_VALUES is ignored.
  void set_value_count(int32_t i32Count);

 protected:
  explicit AnimTrackC(int32_t i32Type);
  explicit AnimTrackC(EditableC* pOriginal);
  ~AnimTrackC() override;

 private:
  void release_keys();
  // The time at which the curve is evaluated for i32Time, after the
  // out-of-range modes; an index when a key's values are the answer.
  bool wrap_time(int32_t i32Time, int64_t* pTime, int32_t* pKeyIndex);
  int32_t find_segment_end(int64_t i64Time);
  // All four components, zero beyond the value count.
  void get_value4(float* pOut, int32_t i32Time);
  template <class BetterT>
  float extreme_value(BetterT&& rIsBetter);
  int32_t load_settings(ChunkReaderC* pReader);
  int32_t load_key(ChunkReaderC* pReader);

  std::vector<AnimKeyC*> m_rKeys;
  int32_t m_i32BeforeMode = TRACK_MODE_CONSTANT;
  int32_t m_i32AfterMode = TRACK_MODE_CONSTANT;
  int32_t m_i32ValueCount = 0;
  int32_t m_i32Type = TRACK_TYPE_NONE;
};

#endif
