#ifndef CORELIB_GIZMOC_H
#define CORELIB_GIZMOC_H

#include <cstdint>
#include <vector>

#include "corelib/gizmobasec.h"

// The gizmo effects use: an ordered list of parameters that it owns.
class GizmoC : public GizmoBaseC {
 public:
  static GizmoC* create_gizmo(EffectBaseC* pOwner, const char* szName, int32_t i32Id);

  DataObjectC* create() override;
  EditableC* create_linked(EditableC* pOriginal) override;
  // The parameters are duplicated and point at this gizmo as their parent.
  void copy(EditableC* pSource) override;
  // The parameters are shared.
  void restore(EditableC* pSource) override;

  int32_t get_param_count() override;
  ParamBaseC* get_param(int32_t i32Index) override;

  // The gizmo owns the parameter from then on; null is ignored. The
  // parameter's parent was set when it was made.
  virtual void add_param(ParamBaseC* pParam);
  // Takes the parameter out without releasing it: the caller, who found it
  // with get_param, owns it again. An index out of range does nothing.
  virtual void remove_param(int32_t i32Index);

 protected:
  GizmoC(EffectBaseC* pOwner, const char* szName, int32_t i32Id);
  explicit GizmoC(EditableC* pOriginal);
  // Releases the parameters unless this is a restore copy.
  ~GizmoC() override;

 private:
  void release_params();

  std::vector<ParamBaseC*> m_rParams;
};

#endif
