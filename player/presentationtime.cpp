#include "player/presentationtime.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "corelib/scenec.h"
#include "player/playerc.h"

namespace {

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

}  // namespace

bool parse_presentation_time(const std::string& rText, PresentationTimeS* pTime, std::string* pError) {
  if (rText.empty()) {
    *pError = "expected a time: seconds such as 12.5, ticks such as 4096t, or a marker's label";
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
  pTime->m_eKind = PresentationTimeS::MARKER;
  pTime->m_sLabel = rText;
  return true;
}

bool parse_presentation_span(const std::string& rText, PresentationSpanS* pSpan, std::string* pError) {
  const size_t uiColon = rText.rfind(':');
  if (uiColon == std::string::npos) {
    *pError = "expected a span A:B, not '" + rText + "'";
    return false;
  }
  return parse_presentation_time(rText.substr(0, uiColon), &pSpan->m_rFrom, pError) &&
         parse_presentation_time(rText.substr(uiColon + 1), &pSpan->m_rTo, pError);
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
