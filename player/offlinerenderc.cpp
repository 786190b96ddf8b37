#include "player/offlinerenderc.h"

#include <unistd.h>

#include <cstdio>

#include "corelib/devicedriverbasec.h"
#include "corelib/deviceinterfacec.h"
#include "platform/pngwriter.h"

namespace {

// The layout size comes from the document: frames larger than this on a side
// are refused rather than allocated.
constexpr int32_t MAX_FRAME_SIDE = 16384;

}  // namespace

OfflineRenderC::OfflineRenderC(std::string sDirectory, int32_t i32Fps)
    : m_sDirectory(std::move(sDirectory)), m_i32Fps(i32Fps), m_bShowProgress(isatty(STDERR_FILENO) != 0) {}

bool OfflineRenderC::attach(DeviceDriverBaseC* pDriver, int32_t i32Width, int32_t i32Height) {
  if (i32Width <= 0 || i32Height <= 0 || i32Width > MAX_FRAME_SIDE || i32Height > MAX_FRAME_SIDE) {
    std::fprintf(stderr, "tiravo: a layout of %d x %d pixels cannot be rendered\n", i32Width, i32Height);
    m_bFailed = true;
    return false;
  }
  m_pOffscreen = static_cast<OffscreenInterfaceC*>(pDriver->query_interface(SUPERCLASS_OFFSCREEN_INTERFACE));
  if (!m_pOffscreen) {
    std::fprintf(stderr, "tiravo: the graphics device driver cannot render offline\n");
    m_bFailed = true;
    return false;
  }
  m_pOffscreen->set_offscreen(true);
  m_i32Width = i32Width;
  m_i32Height = i32Height;
  m_rPixels.assign(static_cast<size_t>(i32Width) * static_cast<size_t>(i32Height) * 3, 0);
  return true;
}

int32_t OfflineRenderC::get_frame_time_ms() const {
  return static_cast<int32_t>(static_cast<int64_t>(m_i32Frame) * 1000 / m_i32Fps);
}

bool OfflineRenderC::write_frame() {
  if (!m_pOffscreen->read_frame(m_rPixels.data())) {
    std::fprintf(stderr, "tiravo: frame %d could not be read from the graphics device\n", m_i32Frame);
    m_bFailed = true;
    return false;
  }
  char szName[32];
  std::snprintf(szName, sizeof(szName), "/frame-%06d.png", m_i32Frame);
  const std::string sPath = m_sDirectory + szName;
  if (!write_png_rgb(sPath.c_str(), m_rPixels.data(), m_i32Width, m_i32Height)) {
    std::fprintf(stderr, "tiravo: cannot write %s\n", sPath.c_str());
    m_bFailed = true;
    return false;
  }
  ++m_i32Frame;
  report_progress();
  return true;
}

void OfflineRenderC::report_progress() const {
  if (m_bShowProgress) {
    std::fprintf(stderr, "\rRendered %d frames (%.2f s)", m_i32Frame, get_frame_time_ms() / 1000.0);
  }
}
