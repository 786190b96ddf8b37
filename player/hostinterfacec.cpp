#include "player/hostinterfacec.h"

#include "corelib/effectbasec.h"
#include "corelib/importablebasec.h"
#include "corelib/importhandlec.h"
#include "corelib/importlistc.h"
#include "corelib/layerc.h"
#include "corelib/scenec.h"
#include "corelib/timebasec.h"

void HostInterfaceC::set_scene(SceneC* pScene) {
  m_pScene = pScene;
}

void HostInterfaceC::set_import_list(ImportListC* pImportList) {
  m_pImportList = pImportList;
}

void HostInterfaceC::set_device_table(DeviceTableC* pDevices) {
  m_pDevices = pDevices;
}

void HostInterfaceC::prepare_all(int32_t i32Reason) {
  if (m_pScene && m_pImportList && m_pDevices) {
    prepare_document(m_pScene, m_pImportList, m_pDevices, i32Reason);
  }
}

void prepare_document(SceneC* pScene, ImportListC* pImportList, DeviceTableC* pDevices, int32_t i32Reason) {
  TimeBaseC rTimeContext(pScene->get_beats_per_min(), pScene->get_beat_units(), pScene->get_tick_division());
  for (int32_t i = 0; i < pScene->get_layer_count(); ++i) {
    LayerC* pLayer = pScene->get_layer(static_cast<uint32_t>(i));
    if (!pLayer) {
      continue;
    }
    for (int32_t j = 0; j < pLayer->get_effect_count(); ++j) {
      if (EffectBaseC* pEffect = pLayer->get_effect(j)) {
        pEffect->prepare(i32Reason, pDevices, &rTimeContext);
      }
    }
  }
  for (int32_t i = 0; i < pImportList->get_handle_count(); ++i) {
    ImportHandleC* pHandle = pImportList->get_handle(i);
    if (ImportableBaseC* pImportable = pHandle ? pHandle->get_importable() : nullptr) {
      pImportable->prepare(i32Reason, pDevices, &rTimeContext);
    }
  }
}
