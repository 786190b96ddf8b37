#include "player/transport.h"

#include <algorithm>
#include <cstdio>

#include "corelib/scenec.h"

std::vector<int32_t> marker_positions(SceneC* pScene) {
  std::vector<int32_t> rPositions;
  for (int32_t i = 0; i < pScene->get_marker_count(); ++i) {
    rPositions.push_back(pScene->get_marker_position(i));
  }
  std::sort(rPositions.begin(), rPositions.end());
  return rPositions;
}

std::optional<int32_t> previous_marker(const std::vector<int32_t>& rMarkers, int32_t i32Time, int32_t i32Grace) {
  const int64_t i64Before = static_cast<int64_t>(i32Time) - i32Grace;
  std::optional<int32_t> rFound;
  for (int32_t i32Marker : rMarkers) {
    if (i32Marker < i64Before) {
      rFound = i32Marker;
    }
  }
  return rFound;
}

std::optional<int32_t> next_marker(const std::vector<int32_t>& rMarkers, int32_t i32Time) {
  const auto it = std::upper_bound(rMarkers.begin(), rMarkers.end(), i32Time);
  return it == rMarkers.end() ? std::nullopt : std::optional<int32_t>(*it);
}

std::string current_marker_label(SceneC* pScene, int32_t i32Time) {
  std::string sLabel;
  int64_t i64Best = INT64_MIN;
  for (int32_t i = 0; i < pScene->get_marker_count(); ++i) {
    const int32_t i32Position = pScene->get_marker_position(i);
    if (i32Position <= i32Time && i32Position > i64Best) {
      i64Best = i32Position;
      sLabel = pScene->get_marker_label(i);
    }
  }
  return sLabel;
}

std::string transport_title(const TitleStateS& rState) {
  const double f64Seconds =
      rState.m_f64TicksPerSecond > 0.0 ? rState.m_i32FrameTime / rState.m_f64TicksPerSecond : 0.0;
  char szTime[96];
  std::snprintf(szTime, sizeof(szTime), "tiravo - %.2f s (%dt)", f64Seconds, rState.m_i32FrameTime);
  std::string sTitle = szTime;
  if (!rState.m_sMarker.empty()) {
    sTitle += " - " + rState.m_sMarker;
  }
  char szRate[32];
  std::snprintf(szRate, sizeof(szRate), " - %.0f fps", rState.m_f64FramesPerSecond);
  sTitle += szRate;
  if (rState.m_bPaused) {
    sTitle += " - paused";
  }
  if (!rState.m_sReloadError.empty()) {
    sTitle += " - reload failed: " + rState.m_sReloadError;
  }
  return sTitle;
}
