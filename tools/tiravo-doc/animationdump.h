#ifndef TOOLS_TIRAVO_DOC_ANIMATIONDUMP_H
#define TOOLS_TIRAVO_DOC_ANIMATIONDUMP_H

#include "description/jsonvalues.h"

class AnimKeyC;
class AnimTrackC;
class TimeSegmentC;

// Every field a key saves; "value" only when the key has values, a number
// for one and a list for more.
JsonT dump_key(AnimKeyC* pKey);
JsonT dump_segment(TimeSegmentC* pSegment);
// "value_count" only where the document stores one that is not the type's.
JsonT dump_track(AnimTrackC* pTrack);
// A key's values in the shape "value" has.
JsonT key_values_json(const float* pValues, int32_t i32Count);

#endif
