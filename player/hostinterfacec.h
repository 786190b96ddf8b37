#ifndef PLAYER_HOSTINTERFACEC_H
#define PLAYER_HOSTINTERFACEC_H

#include <cstdint>

class DeviceTableC;
class ImportListC;
class SceneC;

// What the player lends the graphics device driver: the document's scene,
// import list and device table, and the preparation pass over them. The
// driver calls it through its virtual slots only.
class HostInterfaceC {
 public:
  HostInterfaceC() = default;
  HostInterfaceC(const HostInterfaceC&) = delete;
  HostInterfaceC& operator=(const HostInterfaceC&) = delete;

  virtual ~HostInterfaceC() = default;
  virtual void set_scene(SceneC* pScene);
  virtual void set_import_list(ImportListC* pImportList);
  virtual void set_device_table(DeviceTableC* pDevices);
  // Does nothing until all three are set.
  virtual void prepare_all(int32_t i32Reason);

 private:
  SceneC* m_pScene = nullptr;
  ImportListC* m_pImportList = nullptr;
  DeviceTableC* m_pDevices = nullptr;
};

// The preparation pass: every effect of every layer, then the importable of
// every file handle, prepared with i32Reason and a time context of the scene.
void prepare_document(SceneC* pScene, ImportListC* pImportList, DeviceTableC* pDevices, int32_t i32Reason);

#endif
