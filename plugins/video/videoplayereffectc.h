#ifndef PLUGINS_VIDEO_VIDEOPLAYEREFFECTC_H
#define PLUGINS_VIDEO_VIDEOPLAYEREFFECTC_H

#include <cstdint>

#include "corelib/affine2c.h"
#include "corelib/box2c.h"
#include "corelib/classdescc.h"
#include "corelib/effectbasec.h"
#include "corelib/placedquadc.h"
#include "corelib/placementparams.h"
#include "corelib/rgbacolorc.h"
#include "corelib/vector2c.h"

class FileParamC;
class FloatParamC;
class GizmoC;
class GraphicsImportableC;
class IntParamC;

// Ids of the effect's own groups and parameters (ids equal positions), after
// those of every effect that places a quad (placementparams.h).
constexpr int32_t VIDEO_GIZMO_TIMING = 2;
constexpr int32_t VIDEO_PARAM_FILTER_MODE = 2;
constexpr int32_t VIDEO_PARAM_VIDEO = 3;
constexpr int32_t VIDEO_PARAM_FPS = 0;
constexpr int32_t VIDEO_PARAM_FRAME = 1;

// Shows one frame of an imported video as a textured quad in its layer's 2-D
// space: placed, rotated, scaled, tinted, blended and filtered by its
// parameters. The frame follows the time at a play rate, or an animated frame
// number when "Frame" has keys.
class VideoPlayerEffectC : public EffectBaseC {
 public:
  static VideoPlayerEffectC* make() { return new VideoPlayerEffectC(); }

  DataObjectC* create() override;
  EditableC* create_linked(EditableC* pOriginal) override;
  void copy(EditableC* pSource) override;
  void restore(EditableC* pSource) override;
  int32_t save(ChunkWriterC* pWriter) override;
  int32_t load(ChunkReaderC* pReader) override;

  int32_t get_gizmo_count() override;
  GizmoBaseC* get_gizmo(int32_t i32Index) override;
  ClassIdentC get_class_ident() override;
  const char* get_class_name() override;
  void set_default_file(ImportHandleC* pHandle) override;
  ParamBaseC* get_default_param(int32_t i32Which) override;
  // Keeps "FPS" and the video's time scale in step with the video.
  int32_t update_notify(int32_t i32GizmoId, int32_t i32ParamId, int32_t i32Time) override;
  bool hit_test(const Vector2C& rPoint) override;
  void prepare(int32_t i32Reason, DeviceTableC* pDevices, TimeBaseC* pTimeContext) override;
  void evaluate(int32_t i32Time, TimeBaseC* pTimeContext) override;
  // Only through the OpenGL device driver's viewport; without one nothing
  // is drawn and no OpenGL state changes.
  void draw(DeviceTableC* pDevices) override;
  Box2C get_bbox() override;
  const Affine2C& get_transform() override;

 protected:
  VideoPlayerEffectC();
  // For create_linked: restore supplies the groups.
  explicit VideoPlayerEffectC(EditableC* pOriginal);
  // A restore copy releases none of the groups it shares.
  ~VideoPlayerEffectC() override;

 private:
  FileParamC* video_param();
  FloatParamC* timing_param(int32_t i32Id);
  // The picture behind "Video", or null.
  GraphicsImportableC* video();
  int32_t frame_at(int32_t i32Time, TimeBaseC* pTimeContext, GraphicsImportableC* pVideo);
  void on_video_assigned(int32_t i32Time);
  void on_fps_changed(int32_t i32Time);

  GizmoC* m_pTransform = nullptr;
  GizmoC* m_pAttributes = nullptr;
  GizmoC* m_pTiming = nullptr;
  PlacedQuadC m_rQuad;
  RgbaColorC m_rFillColor{0.0f, 0.0f, 0.0f, 1.0f};
  int32_t m_i32Frame = 0;
  int32_t m_i32RenderMode = 0;
  int32_t m_i32FilterMode = 0;
};

class VideoPlayerDescC : public PluginClass::ClassDescC {
 public:
  DataObjectC* make_object() override;
  int32_t get_class_kind() override;
  ClassIdentC get_class_ident() override;
  SuperClassIdentC get_super_class_ident() override;
  const char* get_class_name() override;
  const char* get_description() override;
  const char* get_author() override;
  const char* get_copyright() override;
  const char* get_web_address() override;
  const char* get_help_location() override;
  int32_t get_extension_count() override;
  const char* get_extension(int32_t i32Index) override;
  int32_t get_driver_requirement_count() override;
  const ClassIdentC* get_driver_requirement(int32_t i32Index) override;
};

#endif
