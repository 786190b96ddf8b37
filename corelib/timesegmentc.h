#ifndef CORELIB_TIMESEGMENTC_H
#define CORELIB_TIMESEGMENTC_H

#include <cstdint>
#include <vector>

#include "corelib/editablec.h"

class AnimKeyC;

// When a layer or an effect is shown: a start and trim keys (relative to it)
// that come in pairs, on then off, over [on, off).
class TimeSegmentC : public EditableC {
 public:
  // A segment without keys: never visible.
  static TimeSegmentC* create_segment();
  // Start a, visible over [a, b).
  static TimeSegmentC* create_segment(int32_t i32Start, int32_t i32End);

  DataObjectC* create() override;
  EditableC* create_linked(EditableC* pOriginal) override;
  void copy(EditableC* pSource) override;
  void restore(EditableC* pSource) override;
  int32_t save(ChunkWriterC* pWriter) override;
  int32_t load(ChunkReaderC* pReader) override;

  virtual int32_t get_segment_start();
  virtual void set_segment_start(int32_t i32Start);
  virtual int32_t get_key_count();
  virtual AnimKeyC* get_key(int32_t i32Index);
  virtual void delete_key(int32_t i32Index);
  // Key times in the parent's time: stored time + start.
  virtual int32_t get_key_time(int32_t i32Index);
  virtual void set_key_time(int32_t i32Index, int32_t i32Time);
  virtual AnimKeyC* find_key(int32_t i32Time);
  virtual AnimKeyC* add_key(int32_t i32Time);
  virtual void sort_keys();
  // Whether i32Time (parent time) lies in one of the on/off intervals.
  virtual bool is_visible(int32_t i32Time);

 protected:
  TimeSegmentC() = default;
  explicit TimeSegmentC(EditableC* pOriginal) : EditableC(pOriginal) {}
  ~TimeSegmentC() override;

 private:
  void release_keys();
  int32_t load_start(ChunkReaderC* pReader, uint32_t ui32Version);
  // i32Time (parent time) as a key time relative to the start.
  int32_t to_key_time(int32_t i32Time) const;

  int32_t m_i32Start = 0;
  std::vector<AnimKeyC*> m_rTrimKeys;
};

#endif
