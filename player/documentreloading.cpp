#include <cstdio>
#include <string>

#include "corelib/devicedriverbasec.h"
#include "corelib/devicetablec.h"
#include "corelib/importlistc.h"
#include "corelib/scenec.h"
#include "corelib/timebasec.h"
#include "docfile/chunkreaderc.h"
#include "platform/filewatchc.h"
#include "player/playerc.h"

namespace {

std::string first_line(const std::string& rText) {
  const size_t uEnd = rText.find('\n');
  return uEnd == std::string::npos ? rText : rText.substr(0, uEnd);
}

}  // namespace

// The new document is read beside the old one, which plays on if it fails.
// The window and its driver stay: the drivers the new document names are
// not made again, and the clock runs on. The new version brings its end
// time, markers and loop points, and its music when that is another file.
bool PlayerC::reload(std::string* pError) {
  SceneC* pOldScene = m_pScene;
  ImportListC* pOldList = m_pImportList;
  DeviceTableC* pDevices = m_pDevices;
  const std::string sMusic = m_sMusicFileName;
  const std::vector<std::string> rOldWatched = m_rWatchedFiles;
  m_pScene = SceneC::create_scene();
  m_pImportList = ImportListC::create_list();
  m_pDevices = new DeviceTableC();
  // A version that names no music has none.
  m_sMusicFileName.clear();
  const bool bLoaded = read_document_file(m_sDocumentFileName.c_str(), false, pError) == CHUNK_OK;
  delete m_pDevices;
  m_pDevices = pDevices;
  if (!bLoaded) {
    m_sMusicFileName = sMusic;
    m_pScene->release();
    m_pImportList->release();
    m_pScene = pOldScene;
    m_pImportList = pOldList;
    // A fix may come in any file either version was read from.
    m_rWatchedFiles.insert(m_rWatchedFiles.end(), rOldWatched.begin(), rOldWatched.end());
    return false;
  }
  delete m_pTimeContext;
  m_pTimeContext =
      new TimeBaseC(m_pScene->get_beats_per_min(), m_pScene->get_beat_units(), m_pScene->get_tick_division());
  m_rHost.set_scene(m_pScene);
  m_rHost.set_import_list(m_pImportList);
  m_f64TicksPerSecond = scene_ticks_per_second(m_pScene);
  m_rClock.set_ticks_per_second(m_f64TicksPerSecond);
  for (int32_t i = 0; i < m_pDevices->get_device_count(); ++i) {
    DeviceDriverBaseC* pDriver = m_pDevices->get_device(i);
    if (pDriver->get_super_class_ident() == SUPERCLASS_GRAPHICS_DEVICE) {
      set_device_layout(pDriver);
    }
  }
  prepare_all(PREPARE_REASON_START);
  pOldScene->release();
  pOldList->release();
  refresh_loop();
  refresh_music();
  return true;
}

// The loop's ends are found again, as markers may have moved; when they
// cannot be, the loop stays where it was.
void PlayerC::refresh_loop() {
  if (!m_rControl.m_bLoop) {
    return;
  }
  std::string sError;
  if (!resolve_presentation_span(m_rControl.m_rLoopSpan, m_pScene, &m_rControl.m_i32LoopFrom,
                                 &m_rControl.m_i32LoopTo, &sError)) {
    std::fprintf(stderr, "tiravo: --loop: %s in the new version; the loop stays from %d to %d ticks\n",
                 sError.c_str(), m_rControl.m_i32LoopFrom, m_rControl.m_i32LoopTo);
  }
}

void PlayerC::refresh_music() {
  const std::string sFolder = document_folder(m_sDocumentFileName);
  if (m_rClock.is_other_music(m_sMusicFileName, sFolder)) {
    m_rClock.change_music(m_sMusicFileName, sFolder);
  }
}

// The music is watched too: a new version of it is heard at once.
std::vector<std::string> PlayerC::watched_files() const {
  std::vector<std::string> rFiles = m_rWatchedFiles;
  if (!m_sMusicFileName.empty()) {
    const std::vector<std::string> rMusic = music_file_candidates(m_sMusicFileName, document_folder(m_sDocumentFileName));
    rFiles.insert(rFiles.end(), rMusic.begin(), rMusic.end());
  }
  return rFiles;
}

void PlayerC::reload_changed_document() {
  std::string sError;
  if (reload(&sError)) {
    m_rTitle.m_sReloadError.clear();
  } else {
    std::fprintf(stderr, "tiravo: %s did not load; the previous version plays on:\n%s\n",
                 m_sDocumentFileName.c_str(), sError.c_str());
    m_rTitle.m_sReloadError = first_line(sError);
  }
  // Shown at once, not at the next update.
  m_i32TitleFrames = 0;
  m_i64TitleMs = 0;
  m_pWatch->watch(watched_files());
}
