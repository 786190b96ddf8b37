#ifndef PLAYER_PRESENTATIONTIME_H
#define PLAYER_PRESENTATIONTIME_H

#include <cstdint>
#include <string>

class SceneC;

// A time as the command line gives it: seconds ("12.5", "1:02.5",
// "1:00:00"), ticks ("4096t") or the label of one of the scene's markers.
struct PresentationTimeS {
  enum KindE { SECONDS, TICKS, MARKER };
  KindE m_eKind = TICKS;
  double m_f64Seconds = 0.0;
  int32_t m_i32Ticks = 0;
  std::string m_sLabel;
};

// A span "A..B" of such times, or "A:B" split at the last colon.
struct PresentationSpanS {
  PresentationTimeS m_rFrom;
  PresentationTimeS m_rTo;
};

// False, with *pError saying why, for a text that is no time.
bool parse_presentation_time(const std::string& rText, PresentationTimeS* pTime, std::string* pError);
bool parse_presentation_span(const std::string& rText, PresentationSpanS* pSpan, std::string* pError);

// The time in the scene's ticks; false, with *pError, for a label no marker
// has. Seconds become the tick the clock shows then (truncated).
bool resolve_presentation_time(const PresentationTimeS& rTime, SceneC* pScene, int32_t* pTicks,
                               std::string* pError);
// Both ends in the scene's ticks; false, with *pError, when one cannot be
// found or the span ends before it starts.
bool resolve_presentation_span(const PresentationSpanS& rSpan, SceneC* pScene, int32_t* pFrom, int32_t* pTo,
                               std::string* pError);

#endif
