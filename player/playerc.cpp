#include "player/playerc.h"

#include <cmath>
#include <limits>

#include "corelib/box2c.h"
#include "corelib/devicedriverbasec.h"
#include "corelib/deviceinterfacec.h"
#include "corelib/devicetablec.h"
#include "corelib/effectbasec.h"
#include "corelib/importlistc.h"
#include "corelib/layerc.h"
#include "corelib/rgbacolorc.h"
#include "corelib/scenec.h"
#include "corelib/timebasec.h"
#include "corelib/timesegmentc.h"
#include "corelib/truncation.h"
#include "platform/display.h"
#include "platform/filewatchc.h"
#include "platform/messagebox.h"
#include "platform/windowmessage.h"
#include "player/framesinkc.h"

namespace {

constexpr int32_t DEVICE_WINDOW_ID = 123;

// Segment starts come from the document: a time minus a start is taken in 64
// bits and limited to the int32 range instead of overflowing.
int32_t time_since(int32_t i32Time, int64_t i64Start) {
  return saturate_to_int32(static_cast<int64_t>(i32Time) - i64Start);
}

}  // namespace

double scene_ticks_per_second(SceneC* pScene) {
  return pScene->get_beats_per_min() * static_cast<double>(pScene->get_beat_units()) * 256.0 / 60.0;
}

// A clock far enough from the start would give more ticks than int32 holds.
int32_t ms_to_ticks(int32_t i32Ms, double f64TicksPerSecond) {
  const double f64Ticks = std::trunc(i32Ms / 1000.0 * f64TicksPerSecond);
  if (!(f64Ticks > std::numeric_limits<int32_t>::min())) {
    return std::numeric_limits<int32_t>::min();
  }
  if (f64Ticks >= std::numeric_limits<int32_t>::max()) {
    return std::numeric_limits<int32_t>::max();
  }
  return static_cast<int32_t>(f64Ticks);
}

// ms_to_ticks never decreases as the milliseconds grow, whatever the tempo,
// so the first millisecond past the end is found by halving the range.
int64_t presentation_end_ms(int32_t i32EndTime, double f64TicksPerSecond) {
  auto bPast = [i32EndTime, f64TicksPerSecond](int32_t i32Ms) {
    return ms_to_ticks(i32Ms, f64TicksPerSecond) > i32EndTime;
  };
  int32_t i32Low = 0;
  int32_t i32High = std::numeric_limits<int32_t>::max();
  if (!bPast(i32High)) {
    return -1;
  }
  while (i32Low < i32High) {
    const int32_t i32Middle = i32Low + (i32High - i32Low) / 2;
    if (bPast(i32Middle)) {
      i32High = i32Middle;
    } else {
      i32Low = i32Middle + 1;
    }
  }
  return i32Low;
}

PlayerC::~PlayerC() {
  release_document();
}

// The host interface forgets the document first: a driver may call its
// prepare_all while it is destroyed, and must find nothing to prepare then.
void PlayerC::release_document() {
  m_rHost.set_scene(nullptr);
  m_rHost.set_import_list(nullptr);
  m_rHost.set_device_table(nullptr);
  if (m_pScene) {
    m_pScene->release();
    m_pScene = nullptr;
  }
  if (m_pImportList) {
    m_pImportList->release();
    m_pImportList = nullptr;
  }
  delete m_pDevices;
  m_pDevices = nullptr;
  delete m_pTimeContext;
  m_pTimeContext = nullptr;
}

bool PlayerC::init(void* pInstance, bool bFullscreen) {
  m_bFullscreen = bFullscreen;
  m_pInstance = pInstance;
  m_pDevices = new DeviceTableC();
  return true;
}

void PlayerC::prepare_all(int32_t i32Reason) {
  if (m_pScene && m_pImportList && m_pDevices) {
    prepare_document(m_pScene, m_pImportList, m_pDevices, i32Reason);
  }
}

int32_t PlayerC::run() {
  if (!m_pScene || !m_pImportList) {
    return -1;
  }
  m_pTimeContext =
      new TimeBaseC(m_pScene->get_beats_per_min(), m_pScene->get_beat_units(), m_pScene->get_tick_division());
  m_rHost.set_scene(m_pScene);
  m_rHost.set_import_list(m_pImportList);
  m_rHost.set_device_table(m_pDevices);
  if (!m_pRender) {
    m_rClock.open_music(m_sMusicFileName, document_folder(m_sDocumentFileName));
  }
  if (!init_graphics_devices()) {
    return -1;
  }
  prepare_all(PREPARE_REASON_START);
  DeviceDriverBaseC* pDevice = m_pDevices->find_by_super_class(SUPERCLASS_GRAPHICS_DEVICE);
  if (!pDevice) {
    return -1;
  }
  m_f64TicksPerSecond = scene_ticks_per_second(m_pScene);
  if (m_rControl.m_bWatch) {
    m_pWatch = std::make_unique<FileWatchC>();
    m_pWatch->watch(watched_files());
  }
  m_rClock.start_clock(m_f64TicksPerSecond, m_rControl.m_i32StartPosition);
  play_frames(pDevice);
  m_rClock.stop_music();
  release_document();
  m_rClock.close_music();
  return 0;
}

bool PlayerC::init_graphics_devices() {
  // Offline, the frames are read from the device the frame loop draws with,
  // the first graphics device, attached before it opens its output.
  DeviceDriverBaseC* pDrawn = m_pDevices->find_by_super_class(SUPERCLASS_GRAPHICS_DEVICE);
  if (m_pRender && pDrawn && !m_pRender->attach(pDrawn, offline_presentation())) {
    return false;
  }
  for (int32_t i = 0; i < m_pDevices->get_device_count(); ++i) {
    DeviceDriverBaseC* pDriver = m_pDevices->get_device(i);
    if (pDriver->get_super_class_ident() == SUPERCLASS_GRAPHICS_DEVICE && !init_graphics_device(pDriver)) {
      return false;
    }
  }
  return true;
}

bool PlayerC::init_graphics_device(DeviceDriverBaseC* pDriver) {
  const int32_t i32Width = m_pScene->get_layout_width();
  const int32_t i32Height = m_pScene->get_layout_height();
  const int32_t i32Mode = m_bFullscreen ? DEVICE_MODE_FULLSCREEN : DEVICE_MODE_WINDOWED;
  if (!pDriver->init_device(m_pInstance, nullptr, DEVICE_WINDOW_ID, i32Mode, i32Width, i32Height,
                            display_bits_per_pixel(), &m_rHost)) {
    show_message_box("Error",
                     m_bFullscreen ? "Could not initialise graphics device (init fullscreen)."
                                   : "Could not initialise graphics device (init windowed).",
                     MESSAGE_ICON_NONE);
    return false;
  }
  set_device_layout(pDriver);
  return true;
}

void PlayerC::set_device_layout(DeviceDriverBaseC* pDriver) {
  auto* pViewport = static_cast<ViewportInterfaceC*>(pDriver->query_interface(SUPERCLASS_VIEWPORT_INTERFACE));
  if (pViewport) {
    const Box2C rLayout(Vector2C(0.0f, 0.0f), Vector2C(static_cast<float>(m_pScene->get_layout_width()),
                                                       static_cast<float>(m_pScene->get_layout_height())));
    pViewport->set_viewport(rLayout);
    pViewport->set_layout(rLayout);
  }
}

OfflinePresentationS PlayerC::offline_presentation() const {
  OfflinePresentationS rPresentation;
  rPresentation.m_i32LayoutWidth = m_pScene->get_layout_width();
  rPresentation.m_i32LayoutHeight = m_pScene->get_layout_height();
  rPresentation.m_i64EndMs = presentation_end_ms(m_pScene->get_end_time(), scene_ticks_per_second(m_pScene));
  rPresentation.m_sMusicFileName = m_sMusicFileName;
  rPresentation.m_sDocumentFolder = document_folder(m_sDocumentFileName);
  return rPresentation;
}

int32_t PlayerC::read_clock_ms() {
  return m_pRender ? m_pRender->get_frame_time_ms() : m_rClock.get_time();
}

int32_t PlayerC::read_frame_time() {
  return ms_to_ticks(read_clock_ms(), m_f64TicksPerSecond);
}

// One message of the device's window per pass; a frame only when it has none.
void PlayerC::play_frames(DeviceDriverBaseC* pDevice) {
  SDL_Window* pWindow = static_cast<SDL_Window*>(pDevice->get_window());
  WindowMessageS rMessage{};
  bool bHaveMessage = false;
  for (;;) {
    if (peek_message(pWindow, &rMessage)) {
      bHaveMessage = true;
      dispatch_message(rMessage);
      if (m_rControl.m_bTransport) {
        handle_transport_key(rMessage);
      }
    } else {
      if (m_pWatch && m_pWatch->poll_changed()) {
        reload_changed_document();
      }
      // A reload may have brought another end.
      const int32_t i32EndTime = m_pScene->get_end_time();
      // Held on the end frame after a seek there, or with --watch once the
      // end is passed: those who edit the end see it until they go on.
      m_bHeldAtEnd = m_bHeldAtEnd && m_rClock.is_paused();
      int32_t i32FrameTime = next_frame_time();
      if (i32FrameTime > i32EndTime && !m_bHeldAtEnd && !m_rControl.m_bWatch) {
        return;
      }
      if (i32FrameTime > i32EndTime || m_bHeldAtEnd) {
        i32FrameTime = hold_at_end();
      }
      draw_frame(pDevice, i32FrameTime);
      if (m_pRender && !m_pRender->write_frame()) {
        return;
      }
      if (m_rControl.m_bTransport) {
        update_title(pDevice, i32FrameTime);
      }
    }
    if (bHaveMessage && get_message_id(rMessage) == WINDOW_MESSAGE_QUIT) {
      return;
    }
  }
}

void PlayerC::draw_frame(DeviceDriverBaseC* pDevice, int32_t i32FrameTime) {
  pDevice->begin_frame();
  pDevice->activate();
  pDevice->clear_buffers(DEVICE_CLEAR_ALL, RgbaColorC(0.0f, 0.0f, 0.0f, 0.0f), 1.0f, 0);
  pDevice->begin_draw();
  draw_layers(i32FrameTime);
  if (m_pObserver) {
    m_pObserver->frame_drawn(i32FrameTime);
  }
  pDevice->end_draw();
  pDevice->deactivate();
  pDevice->end_frame();
}

// Back to front: the layer and the effect with index 0 are drawn last, on top.
void PlayerC::draw_layers(int32_t i32FrameTime) {
  for (int32_t i = m_pScene->get_layer_count() - 1; i >= 0; --i) {
    LayerC* pLayer = m_pScene->get_layer(static_cast<uint32_t>(i));
    if (!pLayer || !pLayer->get_time_segment()->is_visible(i32FrameTime)) {
      continue;
    }
    const int64_t i64LayerStart = pLayer->get_time_segment()->get_segment_start();
    for (int32_t j = pLayer->get_effect_count() - 1; j >= 0; --j) {
      EffectBaseC* pEffect = pLayer->get_effect(j);
      if (!pEffect) {
        continue;
      }
      TimeSegmentC* pSegment = pEffect->get_time_segment();
      if (pSegment->is_visible(time_since(i32FrameTime, i64LayerStart))) {
        pEffect->evaluate(time_since(i32FrameTime, i64LayerStart + pSegment->get_segment_start()), m_pTimeContext);
        pEffect->draw(m_pDevices);
      }
    }
  }
}
