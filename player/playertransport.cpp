#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

#include "corelib/devicedriverbasec.h"
#include "corelib/scenec.h"
#include "platform/perfcounter.h"
#include "platform/windowmessage.h"
#include "player/playerc.h"
#include "player/transport.h"

namespace {

constexpr double SEEK_SECONDS = 1.0;
constexpr double SHIFT_SEEK_SECONDS = 10.0;
// Page Up within this of a marker goes on to the one before.
constexpr double MARKER_GRACE_SECONDS = 0.5;
// How often the title is brought up to date.
constexpr int64_t TITLE_PERIOD_MS = 250;

}  // namespace

int32_t PlayerC::next_frame_time() {
  const int32_t i32Time = read_frame_time();
  if (m_rControl.m_bLoop && !m_bHeldAtEnd &&
      (i32Time >= m_rControl.m_i32LoopTo || i32Time > m_pScene->get_end_time())) {
    m_rClock.seek(m_rControl.m_i32LoopFrom);
    return read_frame_time();
  }
  return i32Time;
}

// Within the presentation: the end time itself is still drawn. A seek to
// the end or past it stops there, holding the end frame, instead of ending
// the presentation at the next frame; a seek from the end plays on.
void PlayerC::seek_to(int32_t i32Time) {
  const int32_t i32End = std::max(m_pScene->get_end_time(), 0);
  if (i32Time >= i32End) {
    hold_at_end();
    return;
  }
  m_rClock.seek(std::max(i32Time, 0));
  if (m_bHeldAtEnd) {
    m_bHeldAtEnd = false;
    m_rClock.resume();
  }
}

// Space then plays on from the end: without --watch that ends the
// presentation, with it the end frame is held again. Held at an end that a
// reload moved later, the frame stays where it was until played on.
int32_t PlayerC::hold_at_end() {
  const int32_t i32End = std::max(m_pScene->get_end_time(), 0);
  if (!m_bHeldAtEnd || !m_rClock.is_paused() || read_frame_time() > i32End) {
    m_rClock.pause();
    m_rClock.seek(i32End);
    m_bHeldAtEnd = true;
  }
  return std::min(read_frame_time(), i32End);
}

int32_t PlayerC::home_time() const {
  return m_rControl.m_bLoop ? m_rControl.m_i32LoopFrom : 0;
}

void PlayerC::handle_transport_key(const WindowMessageS& rMessage) {
  bool bShift = false;
  const WindowKeyE eKey = get_window_key(rMessage, &bShift);
  const int32_t i32Now = read_frame_time();
  const double f64Step = (bShift ? SHIFT_SEEK_SECONDS : SEEK_SECONDS) * m_f64TicksPerSecond;
  const auto iStep = static_cast<int64_t>(std::lround(f64Step));
  std::optional<int32_t> rMarker;
  switch (eKey) {
    case WINDOW_KEY_SPACE:
      if (m_rClock.is_paused()) {
        m_rClock.resume();
      } else {
        m_rClock.pause();
      }
      break;
    case WINDOW_KEY_LEFT:
    case WINDOW_KEY_RIGHT: {
      const int64_t i64Target = i32Now + (eKey == WINDOW_KEY_LEFT ? -iStep : iStep);
      seek_to(static_cast<int32_t>(std::clamp<int64_t>(i64Target, 0, INT32_MAX)));
      break;
    }
    case WINDOW_KEY_PAGE_UP:
      rMarker = previous_marker(marker_positions(m_pScene), i32Now,
                                static_cast<int32_t>(MARKER_GRACE_SECONDS * m_f64TicksPerSecond));
      break;
    case WINDOW_KEY_PAGE_DOWN:
      rMarker = next_marker(marker_positions(m_pScene), i32Now);
      break;
    case WINDOW_KEY_HOME:
      seek_to(home_time());
      break;
    case WINDOW_KEY_NONE:
      break;
  }
  if (rMarker) {
    seek_to(*rMarker);
  }
}

void PlayerC::update_title(DeviceDriverBaseC* pDevice, int32_t i32FrameTime) {
  ++m_i32TitleFrames;
  const int64_t i64Now = counter_now_ms();
  if (m_i64TitleMs == 0) {
    m_i64TitleMs = i64Now;
  }
  if (i64Now - m_i64TitleMs < TITLE_PERIOD_MS && m_i32TitleFrames > 1) {
    return;
  }
  if (i64Now > m_i64TitleMs) {
    m_rTitle.m_f64FramesPerSecond = m_i32TitleFrames * 1000.0 / static_cast<double>(i64Now - m_i64TitleMs);
  }
  m_i64TitleMs = i64Now;
  m_i32TitleFrames = 0;
  m_rTitle.m_i32FrameTime = i32FrameTime;
  m_rTitle.m_f64TicksPerSecond = m_f64TicksPerSecond;
  m_rTitle.m_sMarker = current_marker_label(m_pScene, i32FrameTime);
  m_rTitle.m_bPaused = m_rClock.is_paused();
  set_window_title(pDevice->get_window(), transport_title(m_rTitle).c_str());
}
