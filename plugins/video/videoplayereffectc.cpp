#include "plugins/video/videoplayereffectc.h"

#include <GL/gl.h>

#include "corelib/animtrackc.h"
#include "corelib/devicedriverbasec.h"
#include "corelib/deviceinterfacec.h"
#include "corelib/devicetablec.h"
#include "corelib/fileparamc.h"
#include "corelib/floatparamc.h"
#include "corelib/gizmoc.h"
#include "corelib/graphicsimportablec.h"
#include "corelib/importhandlec.h"
#include "corelib/intparamc.h"
#include "corelib/placementparams.h"
#include "corelib/timebasec.h"
#include "corelib/truncation.h"
#include "docfile/chunkwriterc.h"
#include "plugins/video/flikselclasses.h"

namespace {

constexpr uint32_t CHUNK_BASE = 0x1000;
constexpr uint32_t CHUNK_TRANSFORM = 0x2000;
constexpr uint32_t CHUNK_ATTRIBUTES = 0x3000;
constexpr uint32_t CHUNK_TIMING = 0x4000;
constexpr uint32_t CHUNK_VERSION = 1;

constexpr int32_t GIZMO_COUNT = 3;
constexpr int32_t FILTER_MODE_BILINEAR = 0;

// Without a picture the quad is 50 × 50.
constexpr float F32_DEFAULT_HALF_SIZE = 25.0f;


}  // namespace

VideoPlayerEffectC::VideoPlayerEffectC() {
  m_pTransform = GizmoC::create_gizmo(this, "Transform", PLACEMENT_GIZMO_TRANSFORM);
  add_transform_params(m_pTransform);

  m_pAttributes = GizmoC::create_gizmo(this, "Attributes", PLACEMENT_GIZMO_ATTRIBUTES);
  add_blend_params(m_pAttributes);
  IntParamC* pFilterMode =
      IntParamC::create_param(m_pAttributes, "Filter mode", 0, VIDEO_PARAM_FILTER_MODE, 0x2, true, 0, 1, 1);
  pFilterMode->set_label(0, "Bilinear");
  pFilterMode->set_label(1, "Nearest");
  m_pAttributes->add_param(pFilterMode);
  m_pAttributes->add_param(FileParamC::create_param(m_pAttributes, "Video", SUPERCLASS_VIDEO_IMPORTABLE, NULL_CLASSID,
                                                    VIDEO_PARAM_VIDEO, 0x8));

  m_pTiming = GizmoC::create_gizmo(this, "Timing", VIDEO_GIZMO_TIMING);
  m_pTiming->add_param(
      FloatParamC::create_param(m_pTiming, "FPS", 0.0f, VIDEO_PARAM_FPS, 0x1, false, 0.0f, 1000.0f, 1.0f));
  m_pTiming->add_param(
      FloatParamC::create_param(m_pTiming, "Frame", 0.0f, VIDEO_PARAM_FRAME, 0x1, true, 0.0f, 0.0f, 1.0f));
}

VideoPlayerEffectC::VideoPlayerEffectC(EditableC* pOriginal) : EffectBaseC(pOriginal) {}

VideoPlayerEffectC::~VideoPlayerEffectC() {
  if (!m_pOriginal) {
    for (GizmoC* pGizmo : {m_pTransform, m_pAttributes, m_pTiming}) {
      if (pGizmo) {
        pGizmo->release();
      }
    }
  }
}

DataObjectC* VideoPlayerEffectC::create() {
  return new VideoPlayerEffectC();
}

EditableC* VideoPlayerEffectC::create_linked(EditableC* pOriginal) {
  return new VideoPlayerEffectC(pOriginal);
}

void VideoPlayerEffectC::copy(EditableC* pSource) {
  EffectBaseC::copy(pSource);
  VideoPlayerEffectC* pEffect = static_cast<VideoPlayerEffectC*>(pSource);
  for (int32_t i = 0; i < GIZMO_COUNT; ++i) {
    GizmoBaseC* pOwn = get_gizmo(i);
    GizmoBaseC* pTheirs = pEffect->get_gizmo(i);
    if (pOwn && pTheirs) {
      pOwn->copy(pTheirs);
    }
  }
}

void VideoPlayerEffectC::restore(EditableC* pSource) {
  EffectBaseC::restore(pSource);
  VideoPlayerEffectC* pEffect = static_cast<VideoPlayerEffectC*>(pSource);
  m_pTransform = pEffect->m_pTransform;
  m_pAttributes = pEffect->m_pAttributes;
  m_pTiming = pEffect->m_pTiming;
}

int32_t VideoPlayerEffectC::save(ChunkWriterC* pWriter) {
  pWriter->begin_chunk(CHUNK_BASE, CHUNK_VERSION);
  EffectBaseC::save(pWriter);
  pWriter->end_chunk();
  pWriter->begin_chunk(CHUNK_TRANSFORM, CHUNK_VERSION);
  m_pTransform->save(pWriter);
  pWriter->end_chunk();
  pWriter->begin_chunk(CHUNK_ATTRIBUTES, CHUNK_VERSION);
  m_pAttributes->save(pWriter);
  pWriter->end_chunk();
  pWriter->begin_chunk(CHUNK_TIMING, CHUNK_VERSION);
  const int32_t i32Result = m_pTiming->save(pWriter);
  return first_failure(i32Result, pWriter->end_chunk());
}

int32_t VideoPlayerEffectC::load(ChunkReaderC* pReader) {
  return load_chunks(pReader, [&](uint32_t ui32Id, uint32_t ui32Version) -> int32_t {
    if (ui32Version != CHUNK_VERSION) {
      return CHUNK_OK;
    }
    switch (ui32Id) {
      case CHUNK_BASE:
        return EffectBaseC::load(pReader);
      case CHUNK_TRANSFORM:
        return m_pTransform->load(pReader);
      case CHUNK_ATTRIBUTES:
        return m_pAttributes->load(pReader);
      case CHUNK_TIMING:
        return m_pTiming->load(pReader);
      default:
        return CHUNK_OK;
    }
  });
}

int32_t VideoPlayerEffectC::get_gizmo_count() {
  return GIZMO_COUNT;
}

GizmoBaseC* VideoPlayerEffectC::get_gizmo(int32_t i32Index) {
  switch (i32Index) {
    case PLACEMENT_GIZMO_TRANSFORM:
      return m_pTransform;
    case PLACEMENT_GIZMO_ATTRIBUTES:
      return m_pAttributes;
    case VIDEO_GIZMO_TIMING:
      return m_pTiming;
    default:
      return nullptr;
  }
}

ClassIdentC VideoPlayerEffectC::get_class_ident() {
  return CLASS_VIDEO_PLAYER;
}

const char* VideoPlayerEffectC::get_class_name() {
  return VIDEO_PLAYER_CLASS_NAME;
}

void VideoPlayerEffectC::set_default_file(ImportHandleC* pHandle) {
  FileParamC* pVideo = video_param();
  edit_under_undo(pVideo, get_undo(), [&] { pVideo->set_file(pHandle); });
}

ParamBaseC* VideoPlayerEffectC::get_default_param(int32_t i32Which) {
  switch (i32Which) {
    case DEFAULT_PARAM_POSITION:
      return m_pTransform->get_param(PLACEMENT_PARAM_POSITION);
    case DEFAULT_PARAM_ROTATION:
      return m_pTransform->get_param(PLACEMENT_PARAM_ROTATION);
    case DEFAULT_PARAM_SCALE:
      return m_pTransform->get_param(PLACEMENT_PARAM_SCALE);
    case DEFAULT_PARAM_PIVOT:
      return m_pTransform->get_param(PLACEMENT_PARAM_PIVOT);
    default:
      return nullptr;
  }
}

int32_t VideoPlayerEffectC::update_notify(int32_t i32GizmoId, int32_t i32ParamId, int32_t i32Time) {
  if (i32GizmoId == PLACEMENT_GIZMO_ATTRIBUTES && i32ParamId == VIDEO_PARAM_VIDEO) {
    on_video_assigned(i32Time);
  } else if (i32GizmoId == VIDEO_GIZMO_TIMING && i32ParamId == VIDEO_PARAM_FPS) {
    on_fps_changed(i32Time);
  }
  return 0;
}

// A new video plays at its own rate; setting "FPS" brings us back through
// on_fps_changed first, and the time scale ends at 1 either way.
void VideoPlayerEffectC::on_video_assigned(int32_t i32Time) {
  GraphicsImportableC* pVideo = video();
  if (!pVideo) {
    return;
  }
  FileParamC* pVideoParam = video_param();
  FloatParamC* pFps = timing_param(VIDEO_PARAM_FPS);
  UndoRecordC* pUndo = pVideoParam->get_undo();
  const float f32Fps = pVideo->get_fps();
  edit_under_undo(pFps, pUndo, [&] { pFps->set_value(i32Time, &f32Fps); });
  edit_under_undo(pVideoParam, pUndo, [&] { pVideoParam->set_time_scale(1.0f); });
}

// The file parameter stretches the video's duration by its time scale, so
// the scale follows the ratio of the video's rate to the play rate.
void VideoPlayerEffectC::on_fps_changed(int32_t i32Time) {
  FloatParamC* pFps = timing_param(VIDEO_PARAM_FPS);
  float f32Fps = 0.0f;
  pFps->get_value(i32Time, &f32Fps);
  GraphicsImportableC* pVideo = video();
  if (!pVideo) {
    return;
  }
  FileParamC* pVideoParam = video_param();
  const float f32Scale = f32Fps < 1.0f ? 1.0f : pVideo->get_fps() / f32Fps;
  edit_under_undo(pVideoParam, pFps->get_undo(), [&] { pVideoParam->set_time_scale(f32Scale); });
}

bool VideoPlayerEffectC::hit_test(const Vector2C& rPoint) {
  return m_rQuad.contains(rPoint);
}

void VideoPlayerEffectC::prepare(int32_t, DeviceTableC*, TimeBaseC*) {}

void VideoPlayerEffectC::evaluate(int32_t i32Time, TimeBaseC* pTimeContext) {
  const PlacementS rPlacement = placement_at(m_pTransform, m_pAttributes, i32Time);
  GraphicsImportableC* pVideo = video();
  float f32HalfWidth = F32_DEFAULT_HALF_SIZE;
  float f32HalfHeight = F32_DEFAULT_HALF_SIZE;
  if (pVideo) {
    f32HalfWidth = static_cast<float>(pVideo->get_width()) * 0.5f;
    f32HalfHeight = static_cast<float>(pVideo->get_height()) * 0.5f;
  }
  m_rQuad.place(rPlacement.m_rPosition, rPlacement.m_rPivot, rPlacement.m_f32Rotation, rPlacement.m_rScale,
                Box2C(Vector2C(-f32HalfWidth, -f32HalfHeight), Vector2C(f32HalfWidth, f32HalfHeight)));
  m_rFillColor = rPlacement.m_rFillColor;
  m_i32RenderMode = rPlacement.m_i32RenderMode;
  static_cast<IntParamC*>(m_pAttributes->get_param(VIDEO_PARAM_FILTER_MODE))->get_value(i32Time, &m_i32FilterMode);
  m_i32Frame = pVideo ? frame_at(i32Time, pTimeContext, pVideo) : 0;
}

// An animated "Frame" chooses the frame itself; otherwise the time at the
// play rate does, from the video's first frame. The importable wraps it.
int32_t VideoPlayerEffectC::frame_at(int32_t i32Time, TimeBaseC* pTimeContext, GraphicsImportableC* pVideo) {
  FloatParamC* pFrame = timing_param(VIDEO_PARAM_FRAME);
  AnimTrackC* pTrack = pFrame->get_track();
  if (pTrack && pTrack->get_key_count() != 0) {
    float f32Frame = 0.0f;
    pFrame->get_value(i32Time, &f32Frame);
    return truncate_to_int32(f32Frame);
  }
  float f32Fps = 0.0f;
  timing_param(VIDEO_PARAM_FPS)->get_value(i32Time, &f32Fps);
  const double f64Frame =
      pTimeContext ? pTimeContext->from_ticks(static_cast<double>(i32Time), static_cast<double>(f32Fps)) : 0.0;
  return truncate_to_int32(f64Frame) + pVideo->get_first_frame();
}

void VideoPlayerEffectC::draw(DeviceTableC* pDevices) {
  DeviceDriverBaseC* pDevice = pDevices ? pDevices->find_by_class(CLASS_OPENGL_DEVICEDRIVER) : nullptr;
  DeviceInterfaceC* pInterface = pDevice ? pDevice->query_interface(SUPERCLASS_VIEWPORT_INTERFACE) : nullptr;
  if (!pInterface) {
    return;
  }
  const Box2C& rBox = m_rQuad.get_box();
  static_cast<ViewportInterfaceC*>(pInterface)
      ->set_ortho(rBox, rBox.m_rMin.m_f32X, rBox.m_rMax.m_f32X, rBox.m_rMax.m_f32Y, rBox.m_rMin.m_f32Y, -1.0f, 1.0f);
  GraphicsImportableC* pVideo = video();
  if (pVideo) {
    const uint32_t ui32Flags =
        m_i32FilterMode == FILTER_MODE_BILINEAR ? (BIND_CLAMP | BIND_LINEAR) : (BIND_CLAMP | BIND_NEAREST);
    pVideo->bind_texture(m_i32Frame, pDevice, ui32Flags);
    glEnable(GL_TEXTURE_2D);
  } else {
    glDisable(GL_TEXTURE_2D);
  }
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_FALSE);
  glEnable(GL_BLEND);
  if (m_i32RenderMode == RENDER_MODE_NORMAL) {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  } else if (m_i32RenderMode == RENDER_MODE_ADD) {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  } else {
    glBlendFunc(GL_DST_COLOR, GL_ONE_MINUS_SRC_ALPHA);
  }
  const RgbaColorC rColor = render_mode_color(m_rFillColor, m_i32RenderMode);
  glColor4f(rColor.m_f32R, rColor.m_f32G, rColor.m_f32B, rColor.m_f32A);
  glBegin(GL_QUADS);
  for (int32_t i = 0; i < 4; ++i) {
    glTexCoord2f(QUAD_TEX_COORDS[i][0], QUAD_TEX_COORDS[i][1]);
    glVertex2f(m_rQuad.get_corner(i).m_f32X, m_rQuad.get_corner(i).m_f32Y);
  }
  glEnd();
  glDepthMask(GL_TRUE);
}

Box2C VideoPlayerEffectC::get_bbox() {
  return m_rQuad.get_box();
}

const Affine2C& VideoPlayerEffectC::get_transform() {
  return m_rQuad.get_transform();
}

FileParamC* VideoPlayerEffectC::video_param() {
  return static_cast<FileParamC*>(m_pAttributes->get_param(VIDEO_PARAM_VIDEO));
}

FloatParamC* VideoPlayerEffectC::timing_param(int32_t i32Id) {
  return static_cast<FloatParamC*>(m_pTiming->get_param(i32Id));
}

// The filter admits only the picture family; the cast guards against an
// importable that claims the family without its interface.
GraphicsImportableC* VideoPlayerEffectC::video() {
  ImportHandleC* pHandle = video_param()->get_file();
  return pHandle ? dynamic_cast<GraphicsImportableC*>(pHandle->get_importable()) : nullptr;
}

DataObjectC* VideoPlayerDescC::make_object() {
  return VideoPlayerEffectC::make();
}

int32_t VideoPlayerDescC::get_class_kind() {
  return PluginClass::CLASS_KIND_EFFECT;
}

ClassIdentC VideoPlayerDescC::get_class_ident() {
  return CLASS_VIDEO_PLAYER;
}

SuperClassIdentC VideoPlayerDescC::get_super_class_ident() {
  return SUPERCLASS_EFFECT;
}

const char* VideoPlayerDescC::get_class_name() {
  return VIDEO_PLAYER_CLASS_NAME;
}

const char* VideoPlayerDescC::get_description() {
  return "Video Player Effect";
}

const char* VideoPlayerDescC::get_author() {
  return FLIKSEL_AUTHOR;
}

const char* VideoPlayerDescC::get_copyright() {
  return FLIKSEL_COPYRIGHT;
}

const char* VideoPlayerDescC::get_web_address() {
  return FLIKSEL_WEB_ADDRESS;
}

const char* VideoPlayerDescC::get_help_location() {
  return "res://AVIPlayerHelp.html";
}

int32_t VideoPlayerDescC::get_extension_count() {
  return 0;
}

const char* VideoPlayerDescC::get_extension(int32_t) {
  return nullptr;
}

int32_t VideoPlayerDescC::get_driver_requirement_count() {
  return 1;
}

const ClassIdentC* VideoPlayerDescC::get_driver_requirement(int32_t) {
  return &CLASS_OPENGL_DEVICEDRIVER;
}
