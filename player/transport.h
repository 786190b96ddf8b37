#ifndef PLAYER_TRANSPORT_H
#define PLAYER_TRANSPORT_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class SceneC;

// The scene's marker positions, sorted, one per position.
std::vector<int32_t> marker_positions(SceneC* pScene);
// The marker to jump back to: the last one more than i32Grace ticks before
// i32Time, so that a jump back right after passing a marker goes on to the
// one before it.
std::optional<int32_t> previous_marker(const std::vector<int32_t>& rMarkers, int32_t i32Time, int32_t i32Grace);
// The first marker after i32Time.
std::optional<int32_t> next_marker(const std::vector<int32_t>& rMarkers, int32_t i32Time);
// The label of the last marker at or before i32Time; empty when there is none.
std::string current_marker_label(SceneC* pScene, int32_t i32Time);

// What the window's title shows while a presentation is being made.
struct TitleStateS {
  int32_t m_i32FrameTime = 0;
  double m_f64TicksPerSecond = 0.0;
  std::string m_sMarker;
  double m_f64FramesPerSecond = 0.0;
  bool m_bPaused = false;
  std::string m_sReloadError;  // the first line of the last failed reload's errors
};
std::string transport_title(const TitleStateS& rState);

#endif
