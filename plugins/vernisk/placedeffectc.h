#ifndef PLUGINS_VERNISK_PLACEDEFFECTC_H
#define PLUGINS_VERNISK_PLACEDEFFECTC_H

#include <cstdint>
#include <vector>

#include "corelib/affine2c.h"
#include "corelib/box2c.h"
#include "corelib/effectbasec.h"
#include "corelib/placedquadc.h"
#include "corelib/placementparams.h"
#include "corelib/rgbacolorc.h"
#include "corelib/vector2c.h"

class DeviceDriverBaseC;
class FileParamC;
class GizmoC;
class ImportableBaseC;

// An effect that draws one quad in its layer's 2-D space: "Transform"
// (Position, Pivot, Rotation, Scale) places it, "Attributes" (Fill Color,
// Render mode Normal, Add or Mult) tints and blends it, as the Video Player
// is placed and blended (their ids: placementparams.h). A class adds its own
// parameters to Attributes and groups after it; each group is saved in a
// chunk of its own, 0x2000 for the first and 0x1000 more for each next.
class PlacedEffectC : public EffectBaseC {
 public:
  void copy(EditableC* pSource) override;
  void restore(EditableC* pSource) override;
  int32_t save(ChunkWriterC* pWriter) override;
  int32_t load(ChunkReaderC* pReader) override;
  int32_t get_gizmo_count() override;
  GizmoBaseC* get_gizmo(int32_t i32Index) override;
  ParamBaseC* get_default_param(int32_t i32Which) override;
  bool hit_test(const Vector2C& rPoint) override;
  void prepare(int32_t i32Reason, DeviceTableC* pDevices, TimeBaseC* pTimeContext) override;
  Box2C get_bbox() override;
  const Affine2C& get_transform() override;

 protected:
  PlacedEffectC();
  // For create_linked: restore supplies the groups.
  explicit PlacedEffectC(EditableC* pOriginal);
  // A restore copy releases none of the groups it shares.
  ~PlacedEffectC() override;

  // A group of its own after those made so far; its id is its position.
  GizmoC* add_gizmo(const char* szName);
  GizmoC* gizmo(int32_t i32Id) const { return m_rGizmos[static_cast<size_t>(i32Id)]; }
  // The importable of a file parameter, or null.
  static ImportableBaseC* file_of(FileParamC* pParam);

  // The transform at i32Time of the quad rQuad (in the effect's own space,
  // before the transform), its corners and box, colour and render mode.
  void place(int32_t i32Time, const Box2C& rQuad);
  // The OpenGL device with its projection set to the quad's box and the
  // render mode's blending, or null (nothing touched) without one.
  DeviceDriverBaseC* begin_quad(DeviceTableC* pDevices);
  // The quad's corners, with texture coordinates that put row 0 of a
  // picture at the top; fragment shaders see (0, 0) at the bottom left.
  void draw_quad() const;
  // The fill colour as the render mode applies it: premultiplied in Mult.
  RgbaColorC blend_color() const;

 private:
  std::vector<GizmoC*> m_rGizmos;
  PlacedQuadC m_rQuad;
  RgbaColorC m_rFillColor{1.0f, 1.0f, 1.0f, 1.0f};
  int32_t m_i32RenderMode = 0;
};

#endif
