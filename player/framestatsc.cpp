#include "player/framestatsc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/display.h"

namespace {

// When the display does not say: the usual rate.
constexpr int32_t ASSUMED_REFRESH_HZ = 60;

}  // namespace

double percentile(const std::vector<double>& rSorted, double f64Share) {
  if (rSorted.empty()) {
    return 0.0;
  }
  const size_t uRank = static_cast<size_t>(std::ceil(f64Share * static_cast<double>(rSorted.size())));
  return rSorted[std::clamp<size_t>(uRank, 1, rSorted.size()) - 1];
}

void FrameStatsC::frame_drawn(int32_t) {
  const ClockT::time_point rNow = ClockT::now();
  if (m_i64Frames == 0) {
    m_rFirst = rNow;
    // Asked while the output is open.
    m_i32RefreshHz = display_refresh_rate();
  } else {
    m_rFrameTimes.push_back(std::chrono::duration<double, std::milli>(rNow - m_rLast).count());
  }
  m_rLast = rNow;
  ++m_i64Frames;
  if (m_pClock->is_streaming()) {
    m_bMusic = true;
    m_i32LargestDriftMs = std::max(m_i32LargestDriftMs, std::abs(m_pClock->get_music_drift_ms()));
  }
}

void FrameStatsC::print(FILE* pOut) const {
  std::vector<double> rSorted = m_rFrameTimes;
  std::sort(rSorted.begin(), rSorted.end());
  const double f64Seconds = std::chrono::duration<double>(m_rLast - m_rFirst).count();
  const int32_t i32RefreshHz = m_i32RefreshHz > 0 ? m_i32RefreshHz : ASSUMED_REFRESH_HZ;
  const double f64LateMs = 2000.0 / i32RefreshHz;
  const auto iLate = std::count_if(rSorted.begin(), rSorted.end(), [f64LateMs](double f64Ms) { return f64Ms > f64LateMs; });
  std::fprintf(pOut, "frames drawn:           %lld\n", static_cast<long long>(m_i64Frames));
  std::fprintf(pOut, "average rate:           %.1f frames per second\n",
               f64Seconds > 0.0 ? static_cast<double>(rSorted.size()) / f64Seconds : 0.0);
  std::fprintf(pOut, "frame time:             median %.2f ms, 95%% %.2f ms, 99%% %.2f ms, max %.2f ms\n",
               percentile(rSorted, 0.5), percentile(rSorted, 0.95), percentile(rSorted, 0.99),
               rSorted.empty() ? 0.0 : rSorted.back());
  std::fprintf(pOut, "late frames:            %lld (over %.1f ms, twice the refresh interval at %d Hz%s)\n",
               static_cast<long long>(iLate), f64LateMs, i32RefreshHz, m_i32RefreshHz > 0 ? "" : ", assumed");
  // With music the presentation's clock is the music: what can stray is the
  // sound device's playing against the system's steady clock.
  if (m_bMusic) {
    std::fprintf(pOut, "sound device drift:     at most %d ms from the steady clock\n", m_i32LargestDriftMs);
  } else {
    std::fprintf(pOut, "sound device drift:     no music played; the steady clock timed the presentation\n");
  }
}
