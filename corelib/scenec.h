#ifndef CORELIB_SCENEC_H
#define CORELIB_SCENEC_H

#include <cstdint>
#include <string>
#include <vector>

#include "corelib/editablec.h"

class LayerC;

constexpr int32_t SCENE_DEFAULT_BEATS_PER_MIN = 120;
constexpr int32_t SCENE_DEFAULT_TICK_DIVISION = 2;
constexpr int32_t SCENE_DEFAULT_BEAT_GROUP = 4;
constexpr int32_t SCENE_DEFAULT_BEAT_UNITS = 4;
constexpr int32_t SCENE_DEFAULT_END_TIME = 20480;
constexpr int32_t SCENE_DEFAULT_LAYOUT_WIDTH = 640;
constexpr int32_t SCENE_DEFAULT_LAYOUT_HEIGHT = 480;

// The root of a presentation: its layers (owned, layer 0 first), its timing
// and size settings, a name and markers (at most one per position).
class SceneC : public EditableC {
 public:
  static SceneC* create_scene();

  DataObjectC* create() override;
  EditableC* create_linked(EditableC* pOriginal) override;
  // end_time and the layout size are not taken over by copy or restore.
  void copy(EditableC* pSource) override;
  void restore(EditableC* pSource) override;
  int32_t save(ChunkWriterC* pWriter) override;
  int32_t load(ChunkReaderC* pReader) override;
  // With bKeepSettings the settings chunk is skipped: name and settings stay.
  int32_t load_ex(ChunkReaderC* pReader, bool bKeepSettings);

  void set_name(const char* szName);
  const char* get_name();

  int32_t get_layer_count();
  LayerC* get_layer(uint32_t ui32Index);
  // A new default layer at the front, owned by the scene.
  LayerC* add_layer();
  // Without an undo object the layer is released; with one, the undo object
  // owns it after the note.
  void delete_layer(uint32_t ui32Index);
  void move_layer(int32_t i32From, int32_t i32To);

  int32_t get_beats_per_min();
  void set_beats_per_min(int32_t i32BeatsPerMin);
  int32_t get_tick_division();
  void set_tick_division(int32_t i32TickDivision);
  int32_t get_beat_group();
  void set_beat_group(int32_t i32BeatGroup);
  int32_t get_beat_units();
  void set_beat_units(int32_t i32BeatUnits);
  int32_t get_end_time();
  void set_end_time(int32_t i32EndTime);
  int32_t get_layout_width();
  void set_layout_width(int32_t i32Width);
  int32_t get_layout_height();
  void set_layout_height(int32_t i32Height);

  int32_t get_marker_count();
  // 0 for an invalid index.
  int32_t get_marker_position(int32_t i32Index);
  // Null for an invalid index.
  const char* get_marker_label(int32_t i32Index);
  void set_marker_position(int32_t i32Index, int32_t i32Position);
  void set_marker_label(int32_t i32Index, const char* szLabel);
  // Replaces every marker at i32Position.
  void add_marker(int32_t i32Position, const char* szLabel);
  void delete_marker(int32_t i32Index);
  void sort_markers();

 protected:
  SceneC() = default;
  explicit SceneC(EditableC* pOriginal) : EditableC(pOriginal) {}
  ~SceneC() override;

 private:
  struct MarkerS {
    int32_t m_i32Position;
    std::string m_sLabel;
  };

  bool is_valid_marker(int32_t i32Index);
  void release_layers();
  void take_over_settings(SceneC* pSource);
  int32_t load_settings(ChunkReaderC* pReader);
  int32_t load_marker(ChunkReaderC* pReader);
  int32_t save_settings(ChunkWriterC* pWriter);
  int32_t save_marker(ChunkWriterC* pWriter, const MarkerS& rMarker);

  std::vector<MarkerS> m_rMarkers;
  std::string m_sName;
  std::vector<LayerC*> m_rLayers;
  int32_t m_i32BeatsPerMin = SCENE_DEFAULT_BEATS_PER_MIN;
  int32_t m_i32TickDivision = SCENE_DEFAULT_TICK_DIVISION;
  int32_t m_i32BeatGroup = SCENE_DEFAULT_BEAT_GROUP;
  int32_t m_i32BeatUnits = SCENE_DEFAULT_BEAT_UNITS;
  int32_t m_i32EndTime = SCENE_DEFAULT_END_TIME;
  int32_t m_i32LayoutWidth = SCENE_DEFAULT_LAYOUT_WIDTH;
  int32_t m_i32LayoutHeight = SCENE_DEFAULT_LAYOUT_HEIGHT;
};

#endif
