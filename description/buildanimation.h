#ifndef DESCRIPTION_BUILDANIMATION_H
#define DESCRIPTION_BUILDANIMATION_H

class AnimKeyC;
class NodeC;
class ParamBaseC;
class TimeSegmentC;

// "time_segment": {"start": .., "keys": [..]}, or [on, off] for one interval.
void build_segment(const NodeC& rSegment, TimeSegmentC* pSegment);
// The parameter's track: its keys replace those it has.
void build_track(const NodeC& rTrack, ParamBaseC* pParam);

#endif
