#include "corelib/timesegmentc.h"

#include <algorithm>

#include "corelib/animkeyc.h"
#include "corelib/assertion.h"
#include "corelib/truncation.h"
#include "corelib/undorecordc.h"
#include "docfile/chunkwriterc.h"

namespace {

constexpr uint32_t SEGMENT_CHUNK = 0x1000;
constexpr uint32_t SEGMENT_CHUNK_VERSION_WITH_SPARE = 1;
constexpr uint32_t SEGMENT_CHUNK_VERSION = 2;
constexpr uint32_t TRIM_KEY_CHUNK = 0x2000;
constexpr uint32_t TRIM_KEY_CHUNK_OLD_VERSION = 1;
constexpr uint32_t TRIM_KEY_CHUNK_VERSION = 2;

}  // namespace

TimeSegmentC* TimeSegmentC::create_segment() {
  return new TimeSegmentC();
}

TimeSegmentC* TimeSegmentC::create_segment(int32_t i32Start, int32_t i32End) {
  TimeSegmentC* pSegment = new TimeSegmentC();
  pSegment->set_segment_start(i32Start);
  pSegment->add_key(i32Start);
  pSegment->add_key(i32End);
  return pSegment;
}

TimeSegmentC::~TimeSegmentC() {
  if (!m_pOriginal) {
    release_keys();
  }
}

void TimeSegmentC::release_keys() {
  for (AnimKeyC* pKey : m_rTrimKeys) {
    pKey->release();
  }
  m_rTrimKeys.clear();
}

DataObjectC* TimeSegmentC::create() {
  return new TimeSegmentC();
}

EditableC* TimeSegmentC::create_linked(EditableC* pOriginal) {
  return new TimeSegmentC(pOriginal);
}

// The duplicates are made before the own keys go, so copying from itself
// keeps the keys.
void TimeSegmentC::copy(EditableC* pSource) {
  TimeSegmentC* pSegment = static_cast<TimeSegmentC*>(pSource);
  std::vector<AnimKeyC*> rKeys;
  rKeys.reserve(pSegment->m_rTrimKeys.size());
  for (AnimKeyC* pKey : pSegment->m_rTrimKeys) {
    rKeys.push_back(static_cast<AnimKeyC*>(pKey->duplicate()));
  }
  release_keys();
  m_i32Start = pSegment->m_i32Start;
  m_rTrimKeys = std::move(rKeys);
}

void TimeSegmentC::restore(EditableC* pSource) {
  TimeSegmentC* pSegment = static_cast<TimeSegmentC*>(pSource);
  m_i32Start = pSegment->m_i32Start;
  m_rTrimKeys = pSegment->m_rTrimKeys;
}

int32_t TimeSegmentC::save(ChunkWriterC* pWriter) {
  pWriter->begin_chunk(SEGMENT_CHUNK, SEGMENT_CHUNK_VERSION);
  pWriter->write(&m_i32Start, sizeof(m_i32Start));
  pWriter->end_chunk();
  for (AnimKeyC* pKey : m_rTrimKeys) {
    pWriter->begin_chunk(TRIM_KEY_CHUNK, TRIM_KEY_CHUNK_VERSION);
    pKey->save(pWriter);
    pWriter->end_chunk();
  }
  return pWriter->get_error();
}

int32_t TimeSegmentC::load(ChunkReaderC* pReader) {
  int32_t i32Result = load_chunks(pReader, [&](uint32_t ui32Id, uint32_t ui32Version) -> int32_t {
    if (ui32Id == SEGMENT_CHUNK) {
      return load_start(pReader, ui32Version);
    }
    if (ui32Id == TRIM_KEY_CHUNK &&
        (ui32Version == TRIM_KEY_CHUNK_OLD_VERSION || ui32Version == TRIM_KEY_CHUNK_VERSION)) {
      AnimKeyC* pKey = AnimKeyC::create_key(0);
      m_rTrimKeys.push_back(pKey);
      return pKey->load(pReader);
    }
    return CHUNK_OK;
  });
  if (i32Result != CHUNK_END) {
    return i32Result;
  }
  sort_keys();
  return CHUNK_OK;
}

// The first version stored a second value after the start that is no longer used.
int32_t TimeSegmentC::load_start(ChunkReaderC* pReader, uint32_t ui32Version) {
  if (ui32Version == SEGMENT_CHUNK_VERSION) {
    return pReader->read(&m_i32Start, sizeof(m_i32Start));
  }
  if (ui32Version == SEGMENT_CHUNK_VERSION_WITH_SPARE) {
    pReader->read(&m_i32Start, sizeof(m_i32Start));
    int32_t i32Spare = 0;
    return pReader->read(&i32Spare, sizeof(i32Spare));
  }
  return CHUNK_OK;
}

int32_t TimeSegmentC::get_segment_start() {
  return m_i32Start;
}

void TimeSegmentC::set_segment_start(int32_t i32Start) {
  m_i32Start = i32Start;
}

int32_t TimeSegmentC::get_key_count() {
  return static_cast<int32_t>(m_rTrimKeys.size());
}

AnimKeyC* TimeSegmentC::get_key(int32_t i32Index) {
  REQUIRE_INDEX(i32Index >= 0 && i32Index < get_key_count(), TRIM_KEY_INDEX_TEXT);
  return m_rTrimKeys[static_cast<size_t>(i32Index)];
}

// Without an undo object nobody else could ever release the key.
void TimeSegmentC::delete_key(int32_t i32Index) {
  AnimKeyC* pKey = get_key(i32Index);
  m_rTrimKeys.erase(m_rTrimKeys.begin() + i32Index);
  if (get_undo()) {
    note_child(pKey, UNDO_CHILD_REMOVED);
  } else {
    pKey->release();
  }
}

int32_t TimeSegmentC::get_key_time(int32_t i32Index) {
  return saturate_to_int32(static_cast<int64_t>(get_key(i32Index)->get_time()) + m_i32Start);
}

void TimeSegmentC::set_key_time(int32_t i32Index, int32_t i32Time) {
  AnimKeyC* pKey = get_key(i32Index);
  edit_under_undo(pKey, get_undo(), [&] { pKey->set_time(to_key_time(i32Time)); });
  sort_keys();
}

AnimKeyC* TimeSegmentC::find_key(int32_t i32Time) {
  int32_t i32KeyTime = to_key_time(i32Time);
  auto rFound = std::find_if(m_rTrimKeys.begin(), m_rTrimKeys.end(),
                             [&](AnimKeyC* pKey) { return pKey->get_time() == i32KeyTime; });
  return rFound == m_rTrimKeys.end() ? nullptr : *rFound;
}

AnimKeyC* TimeSegmentC::add_key(int32_t i32Time) {
  AnimKeyC* pKey = AnimKeyC::create_key(0);
  pKey->set_time(to_key_time(i32Time));
  m_rTrimKeys.push_back(pKey);
  sort_keys();
  note_child(pKey, UNDO_CHILD_ADDED);
  return pKey;
}

// Stable, so keys with equal times keep the order they were added in.
void TimeSegmentC::sort_keys() {
  std::stable_sort(m_rTrimKeys.begin(), m_rTrimKeys.end(),
                   [](AnimKeyC* pA, AnimKeyC* pB) { return pA->get_time() < pB->get_time(); });
}

bool TimeSegmentC::is_visible(int32_t i32Time) {
  int64_t i64Local = static_cast<int64_t>(i32Time) - m_i32Start;
  for (size_t uIndex = 0; uIndex + 1 < m_rTrimKeys.size(); uIndex += 2) {
    if (m_rTrimKeys[uIndex]->get_time() <= i64Local && i64Local < m_rTrimKeys[uIndex + 1]->get_time()) {
      return true;
    }
  }
  return false;
}

int32_t TimeSegmentC::to_key_time(int32_t i32Time) const {
  return saturate_to_int32(static_cast<int64_t>(i32Time) - m_i32Start);
}
