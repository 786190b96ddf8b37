#ifndef TESTS_SUPPORT_RECTDESCRIPTION_H
#define TESTS_SUPPORT_RECTDESCRIPTION_H

#include <cstdio>
#include <fstream>
#include <string>

// A description of a 64 × 48 presentation at 256 ticks per second (60 beats
// per minute of one unit) lasting i32EndTime ticks: one test rectangle over
// [8, 32) × [8, 32) in the colour given as "[r, g, b, a]", the markers given
// as a JSON list, and the music when named.
inline std::string rect_description(const std::string& rColor, int32_t i32EndTime = 256,
                                    const std::string& rMarkers = "[]", const std::string& rMusic = "") {
  std::string sText = "{\"scene\": {\"beats_per_min\": 60, \"beat_units\": 1, \"end_time\": " +
                      std::to_string(i32EndTime) +
                      ", \"layout_width\": 64, \"layout_height\": 48, \"markers\": " + rMarkers +
                      ",\n  \"layers\": [{\"time_segment\": [0, 1000000], \"effects\": [\n"
                      "    {\"class\": \"Test Rectangle\", \"time_segment\": [0, 1000000],\n"
                      "     \"params\": {\"Rectangle\": {\"Color\": " +
                      rColor + ", \"Min\": [8, 8], \"Max\": [32, 32]}}}]}]}";
  if (!rMusic.empty()) {
    sText += ",\n \"music\": \"" + rMusic + "\"";
  }
  return sText + "}\n";
}

// Writes the file whole, as an editor saves: a new file renamed over the old.
inline void save_text(const std::string& rPath, const std::string& rText) {
  const std::string sTemporary = rPath + ".saving";
  std::ofstream(sTemporary, std::ios::binary) << rText;
  std::rename(sTemporary.c_str(), rPath.c_str());
}

#endif
