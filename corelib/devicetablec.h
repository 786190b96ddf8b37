#ifndef CORELIB_DEVICETABLEC_H
#define CORELIB_DEVICETABLEC_H

#include <cstdint>
#include <vector>

#include "corelib/classidentc.h"

class DeviceDriverBaseC;

// Reasons given to the prepare of effects and importables: before the first
// frame, and when a graphics device asks them to let go of what they keep in it.
constexpr int32_t PREPARE_REASON_START = 1;
constexpr int32_t PREPARE_REASON_DEVICE = 2;

// The device drivers available to effects and importables, in the order added.
// The table owns them and releases them with their own release().
class DeviceTableC {
 public:
  DeviceTableC() = default;
  DeviceTableC(const DeviceTableC&) = delete;
  DeviceTableC& operator=(const DeviceTableC&) = delete;

  virtual ~DeviceTableC();
  virtual DeviceDriverBaseC* find_by_super_class(const SuperClassIdentC& rSuperClass);
  virtual DeviceDriverBaseC* find_by_class(const ClassIdentC& rClass);
  // The table takes ownership; a null driver is ignored.
  virtual void add_device(DeviceDriverBaseC* pDriver);
  // Releases the first driver of rClass, if any.
  virtual void remove_device(const ClassIdentC& rClass);
  virtual int32_t get_device_count();
  // Null when i32Index is outside the table.
  virtual DeviceDriverBaseC* get_device(int32_t i32Index);

 private:
  std::vector<DeviceDriverBaseC*>::iterator find_class_entry(const ClassIdentC& rClass);

  std::vector<DeviceDriverBaseC*> m_rDevices;
};

#endif
