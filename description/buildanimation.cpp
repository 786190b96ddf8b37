#include "description/buildanimation.h"

#include <cstdint>
#include <string>
#include <vector>

#include "corelib/animkeyc.h"
#include "corelib/animtrackc.h"
#include "corelib/parambasec.h"
#include "corelib/timesegmentc.h"
#include "description/descriptionnodec.h"
#include "description/paramkinds.h"

namespace {

// The flags and spline settings a key is given; what is left out stays.
void apply_key_settings(const NodeC& rKey, AnimKeyC* pKey) {
  if (rKey.has("flags")) {
    pKey->set_flags(rKey.member("flags").to_flags(KEY_FLAG_WORDS));
  }
  if (rKey.has("tension")) {
    pKey->set_tension(rKey.member("tension").to_float());
  }
  if (rKey.has("continuity")) {
    pKey->set_continuity(rKey.member("continuity").to_float());
  }
  if (rKey.has("bias")) {
    pKey->set_bias(rKey.member("bias").to_float());
  }
  if (rKey.has("ease_in")) {
    pKey->set_ease_in(rKey.member("ease_in").to_float());
  }
  if (rKey.has("ease_out")) {
    pKey->set_ease_out(rKey.member("ease_out").to_float());
  }
}

// add_key takes the time in the parent's time and sorts stably, so keys of
// equal time keep the order written. A time whose parent time lies beyond
// the int32 range is set on the key instead.
void add_trim_key(const NodeC& rKey, TimeSegmentC* pSegment) {
  rKey.expect_object({"time", "flags", "tension", "continuity", "bias", "ease_in", "ease_out"});
  const int32_t i32Time = rKey.member("time").to_int32();
  const int64_t i64ParentTime = static_cast<int64_t>(pSegment->get_segment_start()) + i32Time;
  AnimKeyC* pKey = nullptr;
  if (i64ParentTime >= INT32_MIN && i64ParentTime <= INT32_MAX) {
    pKey = pSegment->add_key(static_cast<int32_t>(i64ParentTime));
  } else {
    pKey = pSegment->add_key(pSegment->get_segment_start());
    pKey->set_time(i32Time);
  }
  apply_key_settings(rKey, pKey);
}

void build_segment_object(const NodeC& rSegment, TimeSegmentC* pSegment) {
  rSegment.expect_object({"start", "keys"});
  if (rSegment.has("start")) {
    pSegment->set_segment_start(rSegment.member("start").to_int32());
  }
  if (rSegment.has("keys")) {
    for (const NodeC& rKey : rSegment.member("keys").items()) {
      add_trim_key(rKey, pSegment);
    }
  }
  pSegment->sort_keys();
}

void build_segment_interval(const NodeC& rSegment, TimeSegmentC* pSegment) {
  std::vector<NodeC> rTimes = rSegment.items();
  if (rTimes.size() != 2) {
    rSegment.fail("expected [on time, off time] or an object with \"start\" and \"keys\"");
  }
  const int32_t i32On = rTimes[0].to_int32();
  const int32_t i32Off = rTimes[1].to_int32();
  pSegment->set_segment_start(i32On);
  pSegment->add_key(i32On);
  pSegment->add_key(i32Off);
}

// The track's values at a key, as many as the track has, padded for
// set_value, which reads as many as the parameter's kind has. Keys of a
// track without values have no "value", as in a dump.
std::vector<float> key_values(const NodeC& rKey, AnimTrackC* pTrack) {
  std::vector<float> rValues;
  if (pTrack->get_value_count() > 0 || rKey.has("value")) {
    rValues = rKey.member("value").to_floats(pTrack->get_value_count());
  }
  rValues.resize(KEY_MAX_VALUES, 0.0f);
  return rValues;
}

// A new key goes through the parameter's set_value, as an editor sets one;
// a second key at the same time can only be added to the track directly.
AnimKeyC* add_param_key(ParamBaseC* pParam, AnimTrackC* pTrack, int32_t i32Time, const std::vector<float>& rValues) {
  if (pTrack->find_key(i32Time)) {
    return pTrack->add_key(i32Time);
  }
  with_keys_written(pParam, [&] { pParam->set_value(i32Time, rValues.data()); });
  return pTrack->find_key(i32Time);
}

void set_value_count(const NodeC& rCount, AnimTrackC* pTrack) {
  const int32_t i32Count = rCount.to_int32();
  if (i32Count < 0 || i32Count > KEY_MAX_VALUES) {
    rCount.fail("expected a whole number from 0 to " + std::to_string(KEY_MAX_VALUES));
  }
  pTrack->set_value_count(i32Count);
}

void clear_keys(AnimTrackC* pTrack) {
  while (pTrack->get_key_count() > 0) {
    pTrack->remove_key(0);
  }
}

}  // namespace

void build_segment(const NodeC& rSegment, TimeSegmentC* pSegment) {
  if (rSegment.json().is_array()) {
    build_segment_interval(rSegment, pSegment);
  } else {
    build_segment_object(rSegment, pSegment);
  }
}

// The values set_value stored may have been clamped or truncated; the key
// gets them as written.
void build_track(const NodeC& rTrack, ParamBaseC* pParam) {
  AnimTrackC* pTrack = pParam->get_track();
  if (!pTrack) {
    rTrack.fail("the parameter has no track");
  }
  rTrack.expect_object({"type", "value_count", "start_mode", "end_mode", "keys"});
  if (rTrack.has("type") && rTrack.member("type").to_int32() != pTrack->get_type()) {
    pTrack->set_type(rTrack.member("type").to_int32());
  }
  clear_keys(pTrack);
  if (rTrack.has("value_count")) {
    set_value_count(rTrack.member("value_count"), pTrack);
  }
  if (rTrack.has("start_mode")) {
    pTrack->set_before_mode(rTrack.member("start_mode").to_code(TRACK_MODE_WORDS));
  }
  if (rTrack.has("end_mode")) {
    pTrack->set_after_mode(rTrack.member("end_mode").to_code(TRACK_MODE_WORDS));
  }
  std::vector<NodeC> rKeys = rTrack.has("keys") ? rTrack.member("keys").items() : std::vector<NodeC>();
  for (const NodeC& rKey : rKeys) {
    rKey.expect_object({"time", "value", "flags", "tension", "continuity", "bias", "ease_in", "ease_out"});
    const std::vector<float> rValues = key_values(rKey, pTrack);
    AnimKeyC* pKey = add_param_key(pParam, pTrack, rKey.member("time").to_int32(), rValues);
    pKey->set_values(rValues.data());
    apply_key_settings(rKey, pKey);
  }
  pTrack->sort_keys();
  pTrack->prepare();
}
