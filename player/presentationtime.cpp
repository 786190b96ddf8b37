#include "player/presentationtime.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "corelib/scenec.h"
#include "player/playerc.h"

namespace {

// Between the times of a span; a colon is part of m:ss times and labels.
constexpr char SPAN_SEPARATOR[] = "..";

// Digits, at most one point, and nothing else: what strtod takes beyond that
// (exponents, "inf", hex) would be a surprise on a command line.
bool is_decimal(const std::string& rText) {
  bool bPoint = false;
  bool bDigit = false;
  for (char c : rText) {
    if (c == '.' && !bPoint) {
      bPoint = true;
    } else if (c >= '0' && c <= '9') {
      bDigit = true;
    } else {
      return false;
    }
  }
  return bDigit;
}

bool is_whole(const std::string& rText) {
  return !rText.empty() && rText.find_first_not_of("0123456789") == std::string::npos;
}

// "m:ss" or "h:mm:ss", the seconds with a fraction if wanted: false for
// anything else. Minutes and seconds after the first field stay below 60.
bool parse_clock_time(const std::string& rText, double* pSeconds, std::string* pError) {
  std::vector<std::string> rFields;
  size_t uiStart = 0;
  for (size_t uiColon = rText.find(':'); uiColon != std::string::npos; uiColon = rText.find(':', uiStart)) {
    rFields.push_back(rText.substr(uiStart, uiColon - uiStart));
    uiStart = uiColon + 1;
  }
  rFields.push_back(rText.substr(uiStart));
  if (rFields.size() < 2 || rFields.size() > 3 || !is_decimal(rFields.back())) {
    return false;
  }
  for (size_t i = 0; i + 1 < rFields.size(); ++i) {
    if (!is_whole(rFields[i]) || rFields[i].size() > 6) {
      return false;
    }
  }
  double f64Seconds = 0.0;
  for (size_t i = 0; i < rFields.size(); ++i) {
    const double f64Field = std::strtod(rFields[i].c_str(), nullptr);
    if (i > 0 && f64Field >= 60.0) {
      *pError = "'" + rText + "': minutes and seconds after the first field are below 60";
      return false;
    }
    f64Seconds = f64Seconds * 60.0 + f64Field;
  }
  *pSeconds = f64Seconds;
  return true;
}

}  // namespace

bool parse_presentation_time(const std::string& rText, PresentationTimeS* pTime, std::string* pError) {
  if (rText.empty()) {
    *pError = "expected a time: seconds such as 12.5 or 1:02.5, ticks such as 4096t, or a marker's label";
    return false;
  }
  if (rText.back() == 't' && is_whole(rText.substr(0, rText.size() - 1))) {
    const long long iTicks = std::strtoll(rText.c_str(), nullptr, 10);
    if (iTicks > std::numeric_limits<int32_t>::max()) {
      *pError = "'" + rText + "' is more ticks than a presentation has";
      return false;
    }
    pTime->m_eKind = PresentationTimeS::TICKS;
    pTime->m_i32Ticks = static_cast<int32_t>(iTicks);
    return true;
  }
  if (is_decimal(rText)) {
    pTime->m_eKind = PresentationTimeS::SECONDS;
    pTime->m_f64Seconds = std::strtod(rText.c_str(), nullptr);
    return true;
  }
  double f64Seconds = 0.0;
  pError->clear();
  if (parse_clock_time(rText, &f64Seconds, pError)) {
    pTime->m_eKind = PresentationTimeS::SECONDS;
    pTime->m_f64Seconds = f64Seconds;
    return true;
  }
  if (!pError->empty()) {
    return false;
  }
  pTime->m_eKind = PresentationTimeS::MARKER;
  pTime->m_sLabel = rText;
  return true;
}

// "A..B" for any times, "A:B" (at the last colon) as it always was.
bool parse_presentation_span(const std::string& rText, PresentationSpanS* pSpan, std::string* pError) {
  size_t uiSplit = rText.find(SPAN_SEPARATOR);
  size_t uiSeparatorLength = sizeof(SPAN_SEPARATOR) - 1;
  if (uiSplit == std::string::npos) {
    uiSplit = rText.rfind(':');
    uiSeparatorLength = 1;
  }
  if (uiSplit == std::string::npos) {
    *pError = std::string("expected a span A") + SPAN_SEPARATOR + "B (or A:B), not '" + rText + "'";
    return false;
  }
  return parse_presentation_time(rText.substr(0, uiSplit), &pSpan->m_rFrom, pError) &&
         parse_presentation_time(rText.substr(uiSplit + uiSeparatorLength), &pSpan->m_rTo, pError);
}

bool resolve_presentation_time(const PresentationTimeS& rTime, SceneC* pScene, int32_t* pTicks,
                               std::string* pError) {
  switch (rTime.m_eKind) {
    case PresentationTimeS::TICKS:
      *pTicks = rTime.m_i32Ticks;
      return true;
    case PresentationTimeS::SECONDS: {
      // The tick the clock shows at that time, as the frame loop converts.
      const double f64Ticks = std::trunc(rTime.m_f64Seconds * scene_ticks_per_second(pScene));
      *pTicks = f64Ticks < std::numeric_limits<int32_t>::max() ? static_cast<int32_t>(f64Ticks)
                                                                : std::numeric_limits<int32_t>::max();
      return true;
    }
    case PresentationTimeS::MARKER:
      for (int32_t i = 0; i < pScene->get_marker_count(); ++i) {
        if (rTime.m_sLabel == pScene->get_marker_label(i)) {
          *pTicks = pScene->get_marker_position(i);
          return true;
        }
      }
      *pError = "no marker of the scene is labelled '" + rTime.m_sLabel + "'";
      return false;
  }
  return false;
}

bool resolve_presentation_span(const PresentationSpanS& rSpan, SceneC* pScene, int32_t* pFrom, int32_t* pTo,
                               std::string* pError) {
  int32_t i32From = 0;
  int32_t i32To = 0;
  if (!resolve_presentation_time(rSpan.m_rFrom, pScene, &i32From, pError) ||
      !resolve_presentation_time(rSpan.m_rTo, pScene, &i32To, pError)) {
    return false;
  }
  if (i32To <= i32From) {
    *pError = "the span ends before it starts";
    return false;
  }
  *pFrom = i32From;
  *pTo = i32To;
  return true;
}
