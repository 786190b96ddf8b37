#include "player/offlinerenderc.h"

#include <unistd.h>

#include <cinttypes>
#include <cstdarg>
#include <cstdio>

#include "corelib/devicedriverbasec.h"
#include "corelib/deviceinterfacec.h"
#include "platform/perfcounter.h"
#include "platform/picturesize.h"

namespace {

// A terminal is told often enough to see it move, not at every frame.
constexpr int64_t PROGRESS_INTERVAL_MS = 250;

bool fits(int32_t i32Width, int32_t i32Height) {
  return i32Width > 0 && i32Height > 0 && i32Width <= MAX_PICTURE_SIDE && i32Height <= MAX_PICTURE_SIDE;
}

}  // namespace

OfflineRenderC::OfflineRenderC(FrameOutputC* pOutput, FrameRateS rFps, int32_t i32Width, int32_t i32Height)
    : m_pOutput(pOutput),
      m_rTiming(rFps, -1),
      m_i32Width(i32Width),
      m_i32Height(i32Height),
      m_bShowProgress(isatty(STDERR_FILENO) != 0) {}

bool OfflineRenderC::attach(DeviceDriverBaseC* pDriver, const OfflinePresentationS& rPresentation) {
  m_rTiming = FrameTimingC(m_rTiming.get_rate(), rPresentation.m_i64EndMs, m_i64SpanFromMs, m_i64SpanToMs);
  m_i64Frame = m_rTiming.get_first_frame();
  if (!choose_size(rPresentation) || !draw_offscreen(pDriver, rPresentation)) {
    return false;
  }
  if (!m_pOutput->open(OutputFormatS{m_i32Width, m_i32Height, m_rTiming, rPresentation.m_sMusicFileName,
                                      rPresentation.m_sDocumentFolder})) {
    return fail("tiravo: %s\n", m_pOutput->get_error().c_str());
  }
  m_rPixels.assign(static_cast<size_t>(m_i32Width) * static_cast<size_t>(m_i32Height) * 3, 0);
  m_i64StartMs = counter_now_ms();
  return true;
}

bool OfflineRenderC::choose_size(const OfflinePresentationS& rPresentation) {
  const int32_t i32LayoutWidth = rPresentation.m_i32LayoutWidth;
  const int32_t i32LayoutHeight = rPresentation.m_i32LayoutHeight;
  if (!fits(i32LayoutWidth, i32LayoutHeight)) {
    return fail("tiravo: a layout of %d x %d pixels cannot be rendered\n", i32LayoutWidth, i32LayoutHeight);
  }
  if (m_i32Width == 0 && m_i32Height == 0) {
    const int32_t i32Round = m_pOutput->needs_even_size() ? 1 : 0;
    m_i32Width = i32LayoutWidth + (i32LayoutWidth & i32Round);
    m_i32Height = i32LayoutHeight + (i32LayoutHeight & i32Round);
  }
  if (!fits(m_i32Width, m_i32Height)) {
    return fail("tiravo: a picture of %d x %d pixels cannot be rendered\n", m_i32Width, m_i32Height);
  }
  return true;
}

bool OfflineRenderC::draw_offscreen(DeviceDriverBaseC* pDriver, const OfflinePresentationS& rPresentation) {
  m_pOffscreen = static_cast<OffscreenInterfaceC*>(pDriver->query_interface(SUPERCLASS_OFFSCREEN_INTERFACE));
  if (!m_pOffscreen) {
    return fail("tiravo: the graphics device driver cannot render offline\n");
  }
  m_pOffscreen->set_offscreen(true);
  if (m_i32Width == rPresentation.m_i32LayoutWidth && m_i32Height == rPresentation.m_i32LayoutHeight) {
    return true;
  }
  auto* pImage =
      static_cast<OffscreenImageInterfaceC*>(pDriver->query_interface(SUPERCLASS_OFFSCREEN_IMAGE_INTERFACE));
  if (!pImage) {
    return fail("tiravo: the graphics device driver cannot render at another size than the layout's\n");
  }
  pImage->set_image_size(m_i32Width, m_i32Height);
  return true;
}

// Every frame before the end is within the int32 clock: the end is.
int32_t OfflineRenderC::get_frame_time_ms() const {
  return static_cast<int32_t>(m_rTiming.frame_time_ms(m_i64Frame));
}

bool OfflineRenderC::write_frame() {
  if (!m_pOffscreen->read_frame(m_rPixels.data())) {
    return fail("tiravo: frame %" PRId64 " could not be read from the graphics device\n", m_i64Frame);
  }
  if (!m_pOutput->write_frame(m_rPixels.data(), m_i64Frame)) {
    return fail("tiravo: %s\n", m_pOutput->get_error().c_str());
  }
  ++m_i64Frame;
  report_progress();
  // A span ends before the presentation does.
  return m_i64SpanToMs < 0 || m_i64Frame < m_rTiming.get_end_frame();
}

bool OfflineRenderC::finish() {
  end_progress();
  if (m_bFailed) {
    return false;
  }
  const int64_t i64Count = m_rTiming.get_end_frame();
  if (i64Count >= 0 && m_i64Frame != i64Count) {
    return fail("tiravo: the run stopped after %" PRId64 " of %" PRId64 " frames\n", m_i64Frame, i64Count);
  }
  if (!m_pOutput->finish()) {
    return fail("tiravo: %s\n", m_pOutput->get_error().c_str());
  }
  return true;
}

bool OfflineRenderC::fail(const char* szFormat, ...) {
  end_progress();
  va_list pArgs;
  va_start(pArgs, szFormat);
  std::vfprintf(stderr, szFormat, pArgs);
  va_end(pArgs);
  m_bFailed = true;
  return false;
}

void OfflineRenderC::report_progress() {
  const int64_t i64Count = m_rTiming.get_end_frame();
  const int64_t i64Now = counter_now_ms();
  if (!m_bShowProgress || (i64Now - m_i64LastReportMs < PROGRESS_INTERVAL_MS && m_i64Frame != i64Count)) {
    return;
  }
  m_i64LastReportMs = i64Now;
  m_bProgressShown = true;
  if (i64Count < 0) {
    std::fprintf(stderr, "\rRendered %" PRId64 " frames (%.2f s)", m_i64Frame, get_frame_time_ms() / 1000.0);
    return;
  }
  // The frames still to come take as long as the ones so far did.
  const int64_t i64Done = std::max<int64_t>(m_i64Frame - m_rTiming.get_first_frame(), 1);
  const int64_t i64LeftS = (i64Now - m_i64StartMs) * (i64Count - m_i64Frame) / i64Done / 1000;
  std::fprintf(stderr, "\rFrame %" PRId64 " of %" PRId64 ", %" PRId64 ":%02d left  ", m_i64Frame, i64Count,
               i64LeftS / 60, static_cast<int>(i64LeftS % 60));
}

void OfflineRenderC::end_progress() {
  if (m_bProgressShown) {
    std::fputc('\n', stderr);
    m_bProgressShown = false;
  }
}
