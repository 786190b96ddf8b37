#include "tools/tiravo-doc/animationdump.h"

#include "corelib/animkeyc.h"
#include "corelib/animtrackc.h"
#include "corelib/timesegmentc.h"

JsonT key_values_json(const float* pValues, int32_t i32Count) {
  if (i32Count == 1) {
    return float_to_json(pValues[0]);
  }
  JsonT rList = JsonT::array();
  for (int32_t i = 0; i < i32Count; ++i) {
    rList.push_back(float_to_json(pValues[i]));
  }
  return rList;
}

JsonT dump_key(AnimKeyC* pKey) {
  JsonT rKey = JsonT::object();
  rKey["time"] = pKey->get_time();
  if (pKey->get_value_count() > 0) {
    float rValues[KEY_MAX_VALUES] = {0.0f, 0.0f, 0.0f, 0.0f};
    pKey->get_values(rValues);
    rKey["value"] = key_values_json(rValues, pKey->get_value_count());
  }
  rKey["flags"] = flags_to_json(pKey->get_flags(), KEY_FLAG_WORDS);
  rKey["tension"] = float_to_json(pKey->get_tension());
  rKey["continuity"] = float_to_json(pKey->get_continuity());
  rKey["bias"] = float_to_json(pKey->get_bias());
  rKey["ease_in"] = float_to_json(pKey->get_ease_in());
  rKey["ease_out"] = float_to_json(pKey->get_ease_out());
  return rKey;
}

JsonT dump_segment(TimeSegmentC* pSegment) {
  JsonT rSegment = JsonT::object();
  rSegment["start"] = pSegment->get_segment_start();
  JsonT rKeys = JsonT::array();
  for (int32_t i = 0; i < pSegment->get_key_count(); ++i) {
    rKeys.push_back(dump_key(pSegment->get_key(i)));
  }
  rSegment["keys"] = rKeys;
  return rSegment;
}

JsonT dump_track(AnimTrackC* pTrack) {
  JsonT rTrack = JsonT::object();
  rTrack["type"] = pTrack->get_type();
  if (pTrack->get_value_count() != track_value_count(pTrack->get_type())) {
    rTrack["value_count"] = pTrack->get_value_count();
  }
  rTrack["start_mode"] = code_to_json(pTrack->get_before_mode(), TRACK_MODE_WORDS);
  rTrack["end_mode"] = code_to_json(pTrack->get_after_mode(), TRACK_MODE_WORDS);
  JsonT rKeys = JsonT::array();
  for (int32_t i = 0; i < pTrack->get_key_count(); ++i) {
    rKeys.push_back(dump_key(pTrack->get_key(i)));
  }
  rTrack["keys"] = rKeys;
  return rTrack;
}
