#include "corelib/animtrackc.h"

#include <algorithm>

#include "corelib/keyinterpolation.h"
#include "corelib/rgbacolorc.h"
#include "corelib/truncation.h"
#include "corelib/undorecordc.h"
#include "corelib/vector2c.h"
#include "docfile/chunkwriterc.h"

namespace {

constexpr uint32_t TRACK_CHUNK_SETTINGS = 0x1000;
constexpr uint32_t TRACK_CHUNK_KEY = 0x2000;
constexpr uint32_t TRACK_CHUNK_VERSION = 1;

bool wraps(int32_t i32Mode) {
  return i32Mode == TRACK_MODE_REPEAT || i32Mode == TRACK_MODE_LOOP;
}

}  // namespace

int32_t track_value_count(int32_t i32Type) {
  switch (i32Type) {
    case TRACK_TYPE_NONE:
      return 0;
    case TRACK_TYPE_INT:
    case TRACK_TYPE_FLOAT:
      return 1;
    case TRACK_TYPE_VECTOR2:
      return 2;
    case TRACK_TYPE_VECTOR3:
      return 3;
    case TRACK_TYPE_COLOR:
      return 4;
    default:
      return -1;
  }
}

AnimTrackC* AnimTrackC::create_track(int32_t i32Type) {
  return new AnimTrackC(i32Type);
}

AnimTrackC::AnimTrackC(int32_t i32Type) {
  set_type(i32Type);
}

AnimTrackC::AnimTrackC(EditableC* pOriginal) : EditableC(pOriginal) {}

AnimTrackC::~AnimTrackC() {
  if (!m_pOriginal) {
    release_keys();
  }
}

void AnimTrackC::release_keys() {
  for (AnimKeyC* pKey : m_rKeys) {
    pKey->release();
  }
  m_rKeys.clear();
}

DataObjectC* AnimTrackC::create() {
  return new AnimTrackC(TRACK_TYPE_NONE);
}

EditableC* AnimTrackC::create_linked(EditableC* pOriginal) {
  return new AnimTrackC(pOriginal);
}

// The duplicates are made before the own keys go, so a copy from itself keeps them.
void AnimTrackC::copy(EditableC* pSource) {
  AnimTrackC* pTrack = static_cast<AnimTrackC*>(pSource);
  std::vector<AnimKeyC*> rKeys;
  rKeys.reserve(pTrack->m_rKeys.size());
  for (AnimKeyC* pKey : pTrack->m_rKeys) {
    rKeys.push_back(static_cast<AnimKeyC*>(pKey->duplicate()));
  }
  release_keys();
  m_rKeys = std::move(rKeys);
  m_i32BeforeMode = pTrack->m_i32BeforeMode;
  m_i32AfterMode = pTrack->m_i32AfterMode;
  m_i32ValueCount = pTrack->m_i32ValueCount;
  m_i32Type = pTrack->m_i32Type;
}

void AnimTrackC::restore(EditableC* pSource) {
  AnimTrackC* pTrack = static_cast<AnimTrackC*>(pSource);
  m_rKeys = pTrack->m_rKeys;
  m_i32BeforeMode = pTrack->m_i32BeforeMode;
  m_i32AfterMode = pTrack->m_i32AfterMode;
  m_i32Type = pTrack->m_i32Type;
}

int32_t AnimTrackC::save(ChunkWriterC* pWriter) {
  const uint8_t rSettings[4] = {static_cast<uint8_t>(m_i32ValueCount), static_cast<uint8_t>(m_i32Type),
                                static_cast<uint8_t>(m_i32BeforeMode), static_cast<uint8_t>(m_i32AfterMode)};
  pWriter->begin_chunk(TRACK_CHUNK_SETTINGS, TRACK_CHUNK_VERSION);
  pWriter->write(rSettings, sizeof(rSettings));
  pWriter->end_chunk();
  for (AnimKeyC* pKey : m_rKeys) {
    pWriter->begin_chunk(TRACK_CHUNK_KEY, TRACK_CHUNK_VERSION);
    pKey->save(pWriter);
    pWriter->end_chunk();
  }
  return pWriter->get_error();
}

int32_t AnimTrackC::load(ChunkReaderC* pReader) {
  int32_t i32Result = load_chunks(pReader, [&](uint32_t ui32Id, uint32_t ui32Version) -> int32_t {
    if (ui32Version != TRACK_CHUNK_VERSION) {
      return CHUNK_OK;
    }
    if (ui32Id == TRACK_CHUNK_SETTINGS) {
      return load_settings(pReader);
    }
    if (ui32Id == TRACK_CHUNK_KEY) {
      return load_key(pReader);
    }
    return CHUNK_OK;
  });
  if (i32Result != CHUNK_END) {
    return i32Result;
  }
  sort_keys();
  prepare();
  return CHUNK_OK;
}

// Keys hold at most four components: a larger count is damaged data. A type
// outside the table is kept as stored and saved back; the track evaluates
// its stored count of values whatever the type, so it reads like a float
// track, and its new keys are smooth.
int32_t AnimTrackC::load_settings(ChunkReaderC* pReader) {
  uint8_t rSettings[4] = {0, 0, 0, 0};
  int32_t i32Result = pReader->read(rSettings, sizeof(rSettings));
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  if (rSettings[0] > KEY_MAX_VALUES) {
    return CHUNK_DAMAGED;
  }
  m_i32ValueCount = rSettings[0];
  m_i32Type = rSettings[1];
  m_i32BeforeMode = rSettings[2];
  m_i32AfterMode = rSettings[3];
  return CHUNK_OK;
}

int32_t AnimTrackC::load_key(ChunkReaderC* pReader) {
  AnimKeyC* pKey = AnimKeyC::create_key(m_i32ValueCount);
  m_rKeys.push_back(pKey);
  return pKey->load(pReader);
}

int32_t AnimTrackC::get_key_count() {
  return static_cast<int32_t>(m_rKeys.size());
}

AnimKeyC* AnimTrackC::get_key(int32_t i32Index) {
  if (i32Index < 0 || i32Index >= get_key_count()) {
    return nullptr;
  }
  return m_rKeys[static_cast<size_t>(i32Index)];
}

EditableC* AnimTrackC::remove_key(int32_t i32Index) {
  AnimKeyC* pKey = get_key(i32Index);
  if (!pKey) {
    return nullptr;
  }
  m_rKeys.erase(m_rKeys.begin() + i32Index);
  if (!m_pUndo) {
    pKey->release();
    return nullptr;
  }
  return m_pUndo->note_child(pKey, UNDO_CHILD_REMOVED);
}

AnimKeyC* AnimTrackC::find_key(int32_t i32Time) {
  for (AnimKeyC* pKey : m_rKeys) {
    if (pKey->get_time() == i32Time) {
      return pKey;
    }
  }
  return nullptr;
}

AnimKeyC* AnimTrackC::add_key(int32_t i32Time) {
  AnimKeyC* pKey = AnimKeyC::create_key(m_i32ValueCount);
  float rValues[KEY_MAX_VALUES];
  get_value4(rValues, i32Time);
  pKey->set_values(rValues);
  pKey->set_time(i32Time);
  pKey->set_flags(m_i32Type == TRACK_TYPE_INT ? KEY_HOLD : KEY_SMOOTH);
  m_rKeys.push_back(pKey);
  sort_keys();
  prepare();
  note_child(pKey, UNDO_CHILD_ADDED);
  return pKey;
}

void AnimTrackC::set_before_mode(int32_t i32Mode) {
  m_i32BeforeMode = i32Mode;
}

void AnimTrackC::set_after_mode(int32_t i32Mode) {
  m_i32AfterMode = i32Mode;
}

int32_t AnimTrackC::get_before_mode() {
  return m_i32BeforeMode;
}

int32_t AnimTrackC::get_after_mode() {
  return m_i32AfterMode;
}

void AnimTrackC::sort_keys() {
  std::stable_sort(m_rKeys.begin(), m_rKeys.end(),
                   [](AnimKeyC* pA, AnimKeyC* pB) { return pA->get_time() < pB->get_time(); });
}

void AnimTrackC::prepare() {
  if (m_rKeys.size() < 2) {
    return;
  }
  // Records every key's state before its tangents change.
  if (m_pUndo) {
    for (AnimKeyC* pKey : m_rKeys) {
      edit_under_undo(pKey, m_pUndo, [] {});
    }
  }
  prepare_tangents(m_rKeys, m_i32ValueCount, m_i32BeforeMode, m_i32AfterMode);
}

void AnimTrackC::get_color(RgbaColorC* pOut, int32_t i32Time) {
  float rValues[KEY_MAX_VALUES];
  get_value4(rValues, i32Time);
  *pOut = RgbaColorC(rValues[0], rValues[1], rValues[2], rValues[3]);
}

void AnimTrackC::get_vector3(float* pOut, int32_t i32Time) {
  float rValues[KEY_MAX_VALUES];
  get_value4(rValues, i32Time);
  std::copy_n(rValues, 3, pOut);
}

void AnimTrackC::get_vector2(Vector2C* pOut, int32_t i32Time) {
  float rValues[KEY_MAX_VALUES];
  get_value4(rValues, i32Time);
  *pOut = Vector2C(rValues[0], rValues[1]);
}

void AnimTrackC::get_float(float* pOut, int32_t i32Time) {
  float rValues[KEY_MAX_VALUES];
  get_value4(rValues, i32Time);
  *pOut = rValues[0];
}

void AnimTrackC::get_int(int32_t* pOut, int32_t i32Time) {
  float rValues[KEY_MAX_VALUES];
  get_value4(rValues, i32Time);
  *pOut = truncate_to_int32(rValues[0]);
}

void AnimTrackC::get_value(float* pOut, int32_t i32Time) {
  float rValues[KEY_MAX_VALUES];
  get_value4(rValues, i32Time);
  std::copy_n(rValues, m_i32ValueCount, pOut);
}

// The smallest or largest component of all keys, by rIsBetter(candidate, best).
template <class BetterT>
float AnimTrackC::extreme_value(BetterT&& rIsBetter) {
  if (m_rKeys.empty() || m_i32ValueCount == 0) {
    return 0.0f;
  }
  float rValues[KEY_MAX_VALUES] = {};
  m_rKeys.front()->get_values(rValues);
  float f32Best = rValues[0];
  for (AnimKeyC* pKey : m_rKeys) {
    std::fill_n(rValues, KEY_MAX_VALUES, 0.0f);
    pKey->get_values(rValues);
    for (int32_t c = 0; c < m_i32ValueCount; ++c) {
      if (rIsBetter(rValues[c], f32Best)) {
        f32Best = rValues[c];
      }
    }
  }
  return f32Best;
}

float AnimTrackC::get_min_value() {
  return extreme_value([](float f32A, float f32B) { return f32A < f32B; });
}

float AnimTrackC::get_max_value() {
  return extreme_value([](float f32A, float f32B) { return f32A > f32B; });
}

int32_t AnimTrackC::get_first_key_time() {
  return m_rKeys.empty() ? 0 : m_rKeys.front()->get_time();
}

int32_t AnimTrackC::get_last_key_time() {
  return m_rKeys.empty() ? 0 : m_rKeys.back()->get_time();
}

int32_t AnimTrackC::get_type() {
  return m_i32Type;
}

void AnimTrackC::set_type(int32_t i32Type) {
  m_i32Type = i32Type;
  const int32_t i32ValueCount = track_value_count(i32Type);
  if (i32ValueCount >= 0) {
    m_i32ValueCount = i32ValueCount;
  }
}

int32_t AnimTrackC::get_value_count() {
  return m_i32ValueCount;
}

void AnimTrackC::set_value_count(int32_t i32Count) {
  if (i32Count >= 0 && i32Count <= KEY_MAX_VALUES) {
    m_i32ValueCount = i32Count;
  }
}

void AnimTrackC::get_value4(float* pOut, int32_t i32Time) {
  std::fill_n(pOut, KEY_MAX_VALUES, 0.0f);
  if (m_rKeys.empty()) {
    return;
  }
  int64_t i64Time = 0;
  int32_t i32KeyIndex = 0;
  if (wrap_time(i32Time, &i64Time, &i32KeyIndex)) {
    m_rKeys[static_cast<size_t>(i32KeyIndex)]->get_values(pOut);
    return;
  }
  int32_t i32Next = find_segment_end(i64Time);
  AnimKeyC* pPrevious = m_rKeys[static_cast<size_t>(i32Next - 1)];
  if (pPrevious->get_flags() & KEY_HOLD) {
    pPrevious->get_values(pOut);
    return;
  }
  interpolate_segment(pPrevious, m_rKeys[static_cast<size_t>(i32Next)], i64Time, m_i32ValueCount, pOut);
}

// A range of zero length (first and last key at one time, or keys out of
// order) cannot be wrapped into: there every mode behaves as constant.
bool AnimTrackC::wrap_time(int32_t i32Time, int64_t* pTime, int32_t* pKeyIndex) {
  const int32_t i32Last = get_key_count() - 1;
  const int64_t i64First = m_rKeys.front()->get_time();
  const int64_t i64Last = m_rKeys.back()->get_time();
  const int64_t i64Length = i64Last - i64First;
  int64_t i64Time = i32Time;
  if (i64Time < i64First) {
    if (!wraps(m_i32BeforeMode) || i64Length <= 0) {
      *pKeyIndex = 0;
      return true;
    }
    i64Time = i64Last + (i64Time - i64First) % i64Length;
  } else if (i64Time >= i64Last) {
    if (!wraps(m_i32AfterMode) || i64Length <= 0) {
      *pKeyIndex = i32Last;
      return true;
    }
    i64Time = i64First + (i64Time - i64First) % i64Length;
  }
  if (i64First >= i64Time) {
    *pKeyIndex = 0;
    return true;
  }
  if (i64Time >= i64Last) {
    *pKeyIndex = i32Last;
    return true;
  }
  *pTime = i64Time;
  return false;
}

// The first key after i64Time, for a time after the first key's and before
// the last key's. The last key ends the search, and every key before the one
// found is at or before i64Time, even in a list put out of order through the
// key setters: the segment found always contains i64Time.
int32_t AnimTrackC::find_segment_end(int64_t i64Time) {
  size_t i = 1;
  while (m_rKeys[i]->get_time() <= i64Time) {
    ++i;
  }
  return static_cast<int32_t>(i);
}
