#include "tools/tiravo-doc/devicepreparation.h"

#include "corelib/devicedriverbasec.h"
#include "corelib/deviceinterfacec.h"
#include "corelib/devicetablec.h"
#include "corelib/importablebasec.h"
#include "corelib/importhandlec.h"
#include "corelib/importlistc.h"
#include "corelib/scenec.h"
#include "corelib/timebasec.h"
#include "registry/classregistryc.h"
#include "tools/tiravo-doc/documentwalk.h"

namespace {

// The smallest image the driver draws into: nothing is drawn.
constexpr int32_t IMAGE_SIDE = 16;

bool has_files_beyond_pictures(ImportListC* pFiles) {
  for (int32_t i = 0; pFiles && i < pFiles->get_handle_count(); ++i) {
    ImportHandleC* pHandle = pFiles->get_handle(i);
    ImportableBaseC* pImportable = pHandle ? pHandle->get_importable() : nullptr;
    if (pImportable && pImportable->get_super_class_ident() != SUPERCLASS_VIDEO_IMPORTABLE) {
      return true;
    }
  }
  return false;
}

DeviceDriverBaseC* open_offscreen_driver(ClassRegistryC* pRegistry) {
  DataObjectC* pObject = pRegistry->create_object(CLASS_OPENGL_DEVICEDRIVER);
  DeviceDriverBaseC* pDriver = dynamic_cast<DeviceDriverBaseC*>(pObject);
  if (!pDriver) {
    if (pObject) {
      pObject->release();
    }
    return nullptr;
  }
  auto* pOffscreen = static_cast<OffscreenInterfaceC*>(pDriver->query_interface(SUPERCLASS_OFFSCREEN_INTERFACE));
  auto* pImage = static_cast<OffscreenImageInterfaceC*>(pDriver->query_interface(SUPERCLASS_OFFSCREEN_IMAGE_INTERFACE));
  if (!pOffscreen || !pImage) {
    pDriver->release();
    return nullptr;
  }
  pOffscreen->set_offscreen(true);
  pImage->set_image_size(IMAGE_SIDE, IMAGE_SIDE);
  if (!pDriver->init_device(nullptr, nullptr, 0, DEVICE_MODE_WINDOWED, IMAGE_SIDE, IMAGE_SIDE, 32, nullptr)) {
    pDriver->release();
    return nullptr;
  }
  return pDriver;
}

}  // namespace

void prepare_files_on_device(ClassRegistryC* pRegistry, const LoadedDocumentC& rDocument, DeviceTableC* pDevices) {
  if (!rDocument.m_pScene || !has_files_beyond_pictures(rDocument.m_pFiles)) {
    return;
  }
  DeviceDriverBaseC* pDriver = open_offscreen_driver(pRegistry);
  if (!pDriver) {
    return;
  }
  pDevices->add_device(pDriver);
  SceneC* pScene = rDocument.m_pScene;
  TimeBaseC rTimeContext(pScene->get_beats_per_min(), pScene->get_beat_units(), pScene->get_tick_division());
  pDriver->begin_frame();
  pDriver->activate();
  for (int32_t i = 0; i < rDocument.m_pFiles->get_handle_count(); ++i) {
    ImportHandleC* pHandle = rDocument.m_pFiles->get_handle(i);
    if (ImportableBaseC* pImportable = pHandle ? pHandle->get_importable() : nullptr) {
      pImportable->prepare(PREPARE_REASON_START, pDevices, &rTimeContext);
    }
  }
  pDriver->deactivate();
}
