#include "corelib/gizmoc.h"

#include "corelib/parambasec.h"

GizmoC* GizmoC::create_gizmo(EffectBaseC* pOwner, const char* szName, int32_t i32Id) {
  return new GizmoC(pOwner, szName, i32Id);
}

GizmoC::GizmoC(EffectBaseC* pOwner, const char* szName, int32_t i32Id) : GizmoBaseC(pOwner, szName, i32Id) {}

GizmoC::GizmoC(EditableC* pOriginal) : GizmoBaseC(pOriginal) {}

GizmoC::~GizmoC() {
  if (!m_pOriginal) {
    release_params();
  }
}

void GizmoC::release_params() {
  for (ParamBaseC* pParam : m_rParams) {
    pParam->release();
  }
  m_rParams.clear();
}

DataObjectC* GizmoC::create() {
  return new GizmoC(nullptr, "", 0);
}

EditableC* GizmoC::create_linked(EditableC* pOriginal) {
  return new GizmoC(pOriginal);
}

// The duplicates are made before the own parameters go, so a copy from itself
// keeps them. They tell this gizmo, not the source's, of their changes.
void GizmoC::copy(EditableC* pSource) {
  GizmoC* pGizmo = static_cast<GizmoC*>(pSource);
  GizmoBaseC::copy(pGizmo);
  std::vector<ParamBaseC*> rParams;
  rParams.reserve(pGizmo->m_rParams.size());
  for (ParamBaseC* pParam : pGizmo->m_rParams) {
    ParamBaseC* pCopy = static_cast<ParamBaseC*>(pParam->duplicate());
    pCopy->set_parent(this);
    rParams.push_back(pCopy);
  }
  release_params();
  m_rParams = std::move(rParams);
}

void GizmoC::restore(EditableC* pSource) {
  GizmoC* pGizmo = static_cast<GizmoC*>(pSource);
  GizmoBaseC::restore(pGizmo);
  m_rParams = pGizmo->m_rParams;
}

int32_t GizmoC::get_param_count() {
  return static_cast<int32_t>(m_rParams.size());
}

ParamBaseC* GizmoC::get_param(int32_t i32Index) {
  if (i32Index < 0 || i32Index >= get_param_count()) {
    return nullptr;
  }
  return m_rParams[static_cast<size_t>(i32Index)];
}

void GizmoC::add_param(ParamBaseC* pParam) {
  if (pParam) {
    m_rParams.push_back(pParam);
  }
}

void GizmoC::remove_param(int32_t i32Index) {
  if (i32Index >= 0 && i32Index < get_param_count()) {
    m_rParams.erase(m_rParams.begin() + i32Index);
  }
}
