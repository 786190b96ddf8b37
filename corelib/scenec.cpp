#include "corelib/scenec.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "corelib/assertion.h"
#include "corelib/layerc.h"
#include "corelib/undorecordc.h"
#include "docfile/chunkwriterc.h"

namespace {

constexpr uint32_t SCENE_CHUNK_SETTINGS = 0x1000;
constexpr uint32_t SCENE_CHUNK_LAYER = 0x2000;
constexpr uint32_t SCENE_CHUNK_MARKER = 0x3000;
constexpr uint32_t SCENE_CHUNK_VERSION = 1;

// The seven settings in the order the settings chunk stores them.
enum SettingE : size_t {
  SETTING_LAYOUT_WIDTH,
  SETTING_LAYOUT_HEIGHT,
  SETTING_END_TIME,
  SETTING_BEATS_PER_MIN,
  SETTING_BEAT_UNITS,
  SETTING_BEAT_GROUP,
  SETTING_TICK_DIVISION,
  SETTING_COUNT
};

// Ticks per second are beats_per_min × beat_units × 256 / 60, and the time
// context divides by tick_division: a stored value of 0 or below would divide
// by zero or freeze time, so the scene keeps the value it has and says so.
int32_t take_timing(ChunkReaderC* pReader, const char* szWhat, int32_t i32Loaded, int32_t i32Kept) {
  if (i32Loaded > 0) {
    return i32Loaded;
  }
  char szText[96];
  std::snprintf(szText, sizeof(szText), "Load Scene: invalid %s %d; kept %d.", szWhat, i32Loaded, i32Kept);
  pReader->add_error(szText);
  return i32Kept;
}

}  // namespace

SceneC* SceneC::create_scene() {
  return new SceneC();
}

SceneC::~SceneC() {
  if (!m_pOriginal) {
    release_layers();
  }
}

DataObjectC* SceneC::create() {
  return create_scene();
}

EditableC* SceneC::create_linked(EditableC* pOriginal) {
  return new SceneC(pOriginal);
}

void SceneC::copy(EditableC* pSource) {
  SceneC* pScene = static_cast<SceneC*>(pSource);
  if (pScene == this) {
    return;
  }
  release_layers();
  for (LayerC* pLayer : pScene->m_rLayers) {
    m_rLayers.push_back(static_cast<LayerC*>(pLayer->duplicate()));
  }
  take_over_settings(pScene);
}

void SceneC::restore(EditableC* pSource) {
  SceneC* pScene = static_cast<SceneC*>(pSource);
  m_rLayers = pScene->m_rLayers;
  take_over_settings(pScene);
}

void SceneC::take_over_settings(SceneC* pSource) {
  m_sName = pSource->m_sName;
  m_i32BeatsPerMin = pSource->m_i32BeatsPerMin;
  m_i32TickDivision = pSource->m_i32TickDivision;
  m_i32BeatUnits = pSource->m_i32BeatUnits;
  m_i32BeatGroup = pSource->m_i32BeatGroup;
  m_rMarkers = pSource->m_rMarkers;
}

int32_t SceneC::save(ChunkWriterC* pWriter) {
  int32_t i32Result = save_settings(pWriter);
  for (LayerC* pLayer : m_rLayers) {
    i32Result = first_failure(i32Result, pWriter->begin_chunk(SCENE_CHUNK_LAYER, SCENE_CHUNK_VERSION));
    i32Result = first_failure(i32Result, pLayer->save(pWriter));
    i32Result = first_failure(i32Result, pWriter->end_chunk());
  }
  for (const MarkerS& rMarker : m_rMarkers) {
    i32Result = first_failure(i32Result, save_marker(pWriter, rMarker));
  }
  return i32Result;
}

int32_t SceneC::save_settings(ChunkWriterC* pWriter) {
  int32_t rSettings[SETTING_COUNT];
  rSettings[SETTING_LAYOUT_WIDTH] = m_i32LayoutWidth;
  rSettings[SETTING_LAYOUT_HEIGHT] = m_i32LayoutHeight;
  rSettings[SETTING_END_TIME] = m_i32EndTime;
  rSettings[SETTING_BEATS_PER_MIN] = m_i32BeatsPerMin;
  rSettings[SETTING_BEAT_UNITS] = m_i32BeatUnits;
  rSettings[SETTING_BEAT_GROUP] = m_i32BeatGroup;
  rSettings[SETTING_TICK_DIVISION] = m_i32TickDivision;
  int32_t i32Result = pWriter->begin_chunk(SCENE_CHUNK_SETTINGS, SCENE_CHUNK_VERSION);
  i32Result = first_failure(i32Result, write_str_cut(pWriter, m_sName));
  i32Result = first_failure(i32Result, pWriter->write(rSettings, sizeof(rSettings)));
  return first_failure(i32Result, pWriter->end_chunk());
}

int32_t SceneC::save_marker(ChunkWriterC* pWriter, const MarkerS& rMarker) {
  int32_t i32Result = pWriter->begin_chunk(SCENE_CHUNK_MARKER, SCENE_CHUNK_VERSION);
  i32Result = first_failure(i32Result, write_str_cut(pWriter, rMarker.m_sLabel));
  i32Result = first_failure(i32Result, pWriter->write(&rMarker.m_i32Position, sizeof(rMarker.m_i32Position)));
  return first_failure(i32Result, pWriter->end_chunk());
}

int32_t SceneC::load(ChunkReaderC* pReader) {
  return load_ex(pReader, false);
}

int32_t SceneC::load_ex(ChunkReaderC* pReader, bool bKeepSettings) {
  int32_t i32Result = load_chunks(pReader, [&](uint32_t ui32Id, uint32_t ui32Version) -> int32_t {
    if (ui32Version != SCENE_CHUNK_VERSION) {
      return CHUNK_OK;
    }
    if (ui32Id == SCENE_CHUNK_SETTINGS && !bKeepSettings) {
      return load_settings(pReader);
    }
    if (ui32Id == SCENE_CHUNK_LAYER) {
      // A layer that failed keeps what it read and has told the reader why; the
      // scene goes on with its next chunk.
      LayerC* pLayer = LayerC::create_layer();
      pLayer->load(pReader);
      m_rLayers.push_back(pLayer);
      return CHUNK_OK;
    }
    if (ui32Id == SCENE_CHUNK_MARKER) {
      return load_marker(pReader);
    }
    return CHUNK_OK;
  });
  if (i32Result != CHUNK_END) {
    return i32Result;
  }
  sort_markers();
  return CHUNK_OK;
}

int32_t SceneC::load_settings(ChunkReaderC* pReader) {
  char szName[CHUNK_STRING_BUFFER_SIZE];
  int32_t i32Result = pReader->read_str(szName);
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  m_sName = szName;
  int32_t rSettings[SETTING_COUNT] = {};
  i32Result = pReader->read(rSettings, sizeof(rSettings));
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  m_i32LayoutWidth = rSettings[SETTING_LAYOUT_WIDTH];
  m_i32LayoutHeight = rSettings[SETTING_LAYOUT_HEIGHT];
  m_i32EndTime = rSettings[SETTING_END_TIME];
  m_i32BeatsPerMin = take_timing(pReader, "beats per minute", rSettings[SETTING_BEATS_PER_MIN], m_i32BeatsPerMin);
  m_i32BeatUnits = take_timing(pReader, "beat units", rSettings[SETTING_BEAT_UNITS], m_i32BeatUnits);
  m_i32BeatGroup = rSettings[SETTING_BEAT_GROUP];
  m_i32TickDivision = take_timing(pReader, "tick division", rSettings[SETTING_TICK_DIVISION], m_i32TickDivision);
  return CHUNK_OK;
}

int32_t SceneC::load_marker(ChunkReaderC* pReader) {
  char szLabel[CHUNK_STRING_BUFFER_SIZE];
  int32_t i32Result = pReader->read_str(szLabel);
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  int32_t i32Position = 0;
  i32Result = pReader->read(&i32Position, sizeof(i32Position));
  if (i32Result == CHUNK_OK) {
    add_marker(i32Position, szLabel);
  }
  return i32Result;
}

void SceneC::set_name(const char* szName) {
  m_sName = szName;
}

const char* SceneC::get_name() {
  return m_sName.c_str();
}

int32_t SceneC::get_layer_count() {
  return static_cast<int32_t>(m_rLayers.size());
}

LayerC* SceneC::get_layer(uint32_t ui32Index) {
  REQUIRE_INDEX(ui32Index < m_rLayers.size(), LAYER_INDEX_TEXT);
  return m_rLayers[ui32Index];
}

LayerC* SceneC::add_layer() {
  LayerC* pLayer = LayerC::create_layer();
  note_child(pLayer, UNDO_CHILD_ADDED);
  m_rLayers.insert(m_rLayers.begin(), pLayer);
  return pLayer;
}

void SceneC::delete_layer(uint32_t ui32Index) {
  REQUIRE_INDEX(ui32Index < m_rLayers.size(), LAYER_INDEX_TEXT);
  LayerC* pLayer = m_rLayers[ui32Index];
  note_child(pLayer, UNDO_CHILD_REMOVED);
  m_rLayers.erase(m_rLayers.begin() + static_cast<std::ptrdiff_t>(ui32Index));
  if (!get_undo()) {
    pLayer->release();
  }
}

void SceneC::move_layer(int32_t i32From, int32_t i32To) {
  // Compared unsigned, so a negative source is out of range as well.
  if (i32From == i32To || static_cast<uint32_t>(i32From) >= m_rLayers.size()) {
    return;
  }
  LayerC* pLayer = m_rLayers[static_cast<size_t>(i32From)];
  m_rLayers.erase(m_rLayers.begin() + i32From);
  int32_t i32Destination = std::max(i32From < i32To ? i32To - 1 : i32To, 0);
  if (static_cast<size_t>(i32Destination) >= m_rLayers.size()) {
    m_rLayers.push_back(pLayer);
  } else {
    m_rLayers.insert(m_rLayers.begin() + i32Destination, pLayer);
  }
}

int32_t SceneC::get_beats_per_min() {
  return m_i32BeatsPerMin;
}

void SceneC::set_beats_per_min(int32_t i32BeatsPerMin) {
  m_i32BeatsPerMin = i32BeatsPerMin;
}

int32_t SceneC::get_tick_division() {
  return m_i32TickDivision;
}

void SceneC::set_tick_division(int32_t i32TickDivision) {
  m_i32TickDivision = i32TickDivision;
}

int32_t SceneC::get_beat_group() {
  return m_i32BeatGroup;
}

void SceneC::set_beat_group(int32_t i32BeatGroup) {
  m_i32BeatGroup = i32BeatGroup;
}

int32_t SceneC::get_beat_units() {
  return m_i32BeatUnits;
}

void SceneC::set_beat_units(int32_t i32BeatUnits) {
  m_i32BeatUnits = i32BeatUnits;
}

int32_t SceneC::get_end_time() {
  return m_i32EndTime;
}

void SceneC::set_end_time(int32_t i32EndTime) {
  m_i32EndTime = i32EndTime;
}

int32_t SceneC::get_layout_width() {
  return m_i32LayoutWidth;
}

void SceneC::set_layout_width(int32_t i32Width) {
  m_i32LayoutWidth = i32Width;
}

int32_t SceneC::get_layout_height() {
  return m_i32LayoutHeight;
}

void SceneC::set_layout_height(int32_t i32Height) {
  m_i32LayoutHeight = i32Height;
}

int32_t SceneC::get_marker_count() {
  return static_cast<int32_t>(m_rMarkers.size());
}

int32_t SceneC::get_marker_position(int32_t i32Index) {
  return is_valid_marker(i32Index) ? m_rMarkers[static_cast<size_t>(i32Index)].m_i32Position : 0;
}

const char* SceneC::get_marker_label(int32_t i32Index) {
  return is_valid_marker(i32Index) ? m_rMarkers[static_cast<size_t>(i32Index)].m_sLabel.c_str() : nullptr;
}

void SceneC::set_marker_position(int32_t i32Index, int32_t i32Position) {
  if (is_valid_marker(i32Index)) {
    m_rMarkers[static_cast<size_t>(i32Index)].m_i32Position = i32Position;
  }
}

void SceneC::set_marker_label(int32_t i32Index, const char* szLabel) {
  if (is_valid_marker(i32Index)) {
    m_rMarkers[static_cast<size_t>(i32Index)].m_sLabel = szLabel;
  }
}

void SceneC::add_marker(int32_t i32Position, const char* szLabel) {
  m_rMarkers.erase(std::remove_if(m_rMarkers.begin(), m_rMarkers.end(),
                                  [&](const MarkerS& rMarker) { return rMarker.m_i32Position == i32Position; }),
                   m_rMarkers.end());
  m_rMarkers.push_back({i32Position, szLabel});
}

void SceneC::delete_marker(int32_t i32Index) {
  if (is_valid_marker(i32Index)) {
    m_rMarkers.erase(m_rMarkers.begin() + i32Index);
  }
}

void SceneC::sort_markers() {
  std::stable_sort(m_rMarkers.begin(), m_rMarkers.end(),
                   [](const MarkerS& rA, const MarkerS& rB) { return rA.m_i32Position < rB.m_i32Position; });
}

bool SceneC::is_valid_marker(int32_t i32Index) {
  return i32Index >= 0 && static_cast<size_t>(i32Index) < m_rMarkers.size();
}

void SceneC::release_layers() {
  for (LayerC* pLayer : m_rLayers) {
    pLayer->release();
  }
  m_rLayers.clear();
}
