#include "corelib/devicetablec.h"

#include <algorithm>

#include "corelib/devicedriverbasec.h"

DeviceTableC::~DeviceTableC() {
  for (DeviceDriverBaseC* pDriver : m_rDevices) {
    pDriver->release();
  }
  m_rDevices.clear();
}

DeviceDriverBaseC* DeviceTableC::find_by_super_class(const SuperClassIdentC& rSuperClass) {
  auto rFound = std::find_if(m_rDevices.begin(), m_rDevices.end(), [&](DeviceDriverBaseC* pDriver) {
    return pDriver->get_super_class_ident() == rSuperClass;
  });
  return rFound == m_rDevices.end() ? nullptr : *rFound;
}

DeviceDriverBaseC* DeviceTableC::find_by_class(const ClassIdentC& rClass) {
  auto rFound = find_class_entry(rClass);
  return rFound == m_rDevices.end() ? nullptr : *rFound;
}

void DeviceTableC::add_device(DeviceDriverBaseC* pDriver) {
  if (!pDriver) {
    return;
  }
  m_rDevices.push_back(pDriver);
}

void DeviceTableC::remove_device(const ClassIdentC& rClass) {
  auto rFound = find_class_entry(rClass);
  if (rFound == m_rDevices.end()) {
    return;
  }
  DeviceDriverBaseC* pDriver = *rFound;
  m_rDevices.erase(rFound);
  pDriver->release();
}

int32_t DeviceTableC::get_device_count() {
  return static_cast<int32_t>(m_rDevices.size());
}

DeviceDriverBaseC* DeviceTableC::get_device(int32_t i32Index) {
  if (i32Index < 0 || i32Index >= get_device_count()) {
    return nullptr;
  }
  return m_rDevices[static_cast<size_t>(i32Index)];
}

std::vector<DeviceDriverBaseC*>::iterator DeviceTableC::find_class_entry(const ClassIdentC& rClass) {
  return std::find_if(m_rDevices.begin(), m_rDevices.end(),
                      [&](DeviceDriverBaseC* pDriver) { return pDriver->get_class_ident() == rClass; });
}
