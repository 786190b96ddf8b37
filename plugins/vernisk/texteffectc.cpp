#include "plugins/vernisk/texteffectc.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "corelib/devicedriverbasec.h"
#include "corelib/devicetablec.h"
#include "corelib/fileparamc.h"
#include "corelib/floatparamc.h"
#include "corelib/gizmoc.h"
#include "corelib/graphicsimportablec.h"
#include "corelib/importhandlec.h"
#include "corelib/intparamc.h"
#include "corelib/truncation.h"
#include "platform/debugoutput.h"
#include "plugins/vernisk/fontimportc.h"
#include "plugins/vernisk/textimportc.h"
#include "plugins/vernisk/verniskclasses.h"

namespace {

int32_t count_characters(const std::string& rText) {
  const auto iCount = std::count_if(rText.begin(), rText.end(),
                                    [](char c) { return (static_cast<uint8_t>(c) & 0xC0) != 0x80; });
  return static_cast<int32_t>(std::min<int64_t>(iCount, TEXT_MAX_CHARACTERS));
}

}  // namespace

bool TextEffectC::SourceS::operator==(const SourceS& rOther) const {
  return m_pFace == rOther.m_pFace && m_pText == rOther.m_pText && m_sName == rOther.m_sName &&
         m_rStyle.m_f32Size == rOther.m_rStyle.m_f32Size &&
         m_rStyle.m_f32LineSpacing == rOther.m_rStyle.m_f32LineSpacing &&
         m_rStyle.m_i32Alignment == rOther.m_rStyle.m_i32Alignment && m_rStyle.m_i32Shown == rOther.m_rStyle.m_i32Shown;
}

TextEffectC::TextEffectC() {
  GizmoC* pAttributes = gizmo(PLACEMENT_GIZMO_ATTRIBUTES);
  pAttributes->add_param(
      FileParamC::create_param(pAttributes, "Font", SUPERCLASS_IMPORTABLE, CLASS_FONT_IMPORT, TEXT_PARAM_FONT, 0x8));
  pAttributes->add_param(
      FileParamC::create_param(pAttributes, "Text", SUPERCLASS_IMPORTABLE, CLASS_TEXT_IMPORT, TEXT_PARAM_TEXT, 0x8));
  GizmoC* pText = add_gizmo("Text");
  pText->add_param(FloatParamC::create_param(pText, "Size", 48.0f, TEXT_PARAM_SIZE, 0x1, true, TEXT_MIN_SIZE,
                                             TEXT_MAX_SIZE, 1.0f));
  pText->add_param(
      FloatParamC::create_param(pText, "Line spacing", 1.0f, TEXT_PARAM_LINE_SPACING, 0x1, true, 0.0f, 16.0f, 0.05f));
  IntParamC* pAlignment = IntParamC::create_param(pText, "Alignment", TEXT_ALIGN_LEFT, TEXT_PARAM_ALIGNMENT, 0x2,
                                                  true, TEXT_ALIGN_LEFT, TEXT_ALIGN_RIGHT, 1);
  pAlignment->set_label(TEXT_ALIGN_LEFT, "Left");
  pAlignment->set_label(TEXT_ALIGN_CENTRE, "Centre");
  pAlignment->set_label(TEXT_ALIGN_RIGHT, "Right");
  pText->add_param(pAlignment);
  pText->add_param(FloatParamC::create_param(pText, "Reveal", 1.0f, TEXT_PARAM_REVEAL, 0x1, true, 0.0f, 1.0f, 0.01f));
}

TextEffectC::~TextEffectC() {
  if (!m_pOriginal) {
    m_rTexture.destroy();
  }
}

ClassIdentC TextEffectC::get_class_ident() {
  return CLASS_TEXT_EFFECT;
}

const char* TextEffectC::get_class_name() {
  return TEXT_EFFECT_CLASS_NAME;
}

void TextEffectC::set_default_file(ImportHandleC* pHandle) {
  ImportableBaseC* pImportable = pHandle ? pHandle->get_importable() : nullptr;
  const bool bText = pImportable && pImportable->get_class_ident() == CLASS_TEXT_IMPORT;
  auto* pParam = static_cast<FileParamC*>(
      gizmo(PLACEMENT_GIZMO_ATTRIBUTES)->get_param(bText ? TEXT_PARAM_TEXT : TEXT_PARAM_FONT));
  edit_under_undo(pParam, get_undo(), [&] { pParam->set_file(pHandle); });
}

// The texture went with the device's textures: the next draw uploads again.
void TextEffectC::prepare(int32_t i32Reason, DeviceTableC* pDevices, TimeBaseC*) {
  DeviceDriverBaseC* pDevice = pDevices ? pDevices->find_by_class(CLASS_OPENGL_DEVICEDRIVER) : nullptr;
  if (i32Reason == PREPARE_REASON_DEVICE && pDevice && pDevice->get_state() == DEVICE_STATE_TEXTURES_LOST) {
    m_rTexture.destroy();
  }
}

FontImportC* TextEffectC::font() {
  return dynamic_cast<FontImportC*>(
      file_of(static_cast<FileParamC*>(gizmo(PLACEMENT_GIZMO_ATTRIBUTES)->get_param(TEXT_PARAM_FONT))));
}

TextImportC* TextEffectC::text_file() {
  return dynamic_cast<TextImportC*>(
      file_of(static_cast<FileParamC*>(gizmo(PLACEMENT_GIZMO_ATTRIBUTES)->get_param(TEXT_PARAM_TEXT))));
}

void TextEffectC::evaluate(int32_t i32Time, TimeBaseC*) {
  SourceS rSource;
  FontImportC* pFont = font();
  rSource.m_pFace = pFont ? pFont->face() : nullptr;
  rSource.m_pText = text_file();
  if (!rSource.m_pText) {
    rSource.m_sName = get_name();
  }
  if (rSource.m_pText != m_pCountedFile || (!rSource.m_pText && rSource.m_sName != m_sCountedText)) {
    m_i32Characters = count_characters(rSource.m_pText ? rSource.m_pText->text() : rSource.m_sName);
    m_pCountedFile = rSource.m_pText;
    m_sCountedText = rSource.m_sName;
  }
  GizmoC* pText = gizmo(TEXT_GIZMO_TEXT);
  float f32Reveal = 1.0f;
  pText->get_param(TEXT_PARAM_SIZE)->get_value(i32Time, &rSource.m_rStyle.m_f32Size);
  pText->get_param(TEXT_PARAM_LINE_SPACING)->get_value(i32Time, &rSource.m_rStyle.m_f32LineSpacing);
  static_cast<IntParamC*>(pText->get_param(TEXT_PARAM_ALIGNMENT))->get_value(i32Time, &rSource.m_rStyle.m_i32Alignment);
  pText->get_param(TEXT_PARAM_REVEAL)->get_value(i32Time, &f32Reveal);
  const float f32Shown = std::clamp(f32Reveal, 0.0f, 1.0f) * static_cast<float>(m_i32Characters);
  rSource.m_rStyle.m_i32Shown = std::isnan(f32Reveal) ? m_i32Characters : truncate_to_int32(f32Shown);
  if (!m_bSet || !(rSource == m_rSource)) {
    set_picture(rSource);
  }
  place(i32Time, m_rQuad);
}

// The picture's quad about the centre of the lines' box, in whole pixels so
// that texels meet pixels when the text is placed at whole positions.
void TextEffectC::set_picture(const SourceS& rSource) {
  m_rSource = rSource;
  m_bSet = true;
  ++m_i32Version;
  std::string sError;
  if (!rSource.m_pFace ||
      !m_rLayout.set(*rSource.m_pFace, rSource.m_pText ? rSource.m_pText->text() : rSource.m_sName, rSource.m_rStyle,
                     &sError)) {
    if (rSource.m_pFace) {
      debug_printf("Text %s cannot be shown: %s\n", get_name(), sError.c_str());
    }
    m_rLayout = TextLayoutC();
    m_rQuad = Box2C();
    return;
  }
  const float f32CentreX = static_cast<float>(m_rLayout.get_layout_width() / 2);
  const float f32CentreY = static_cast<float>(m_rLayout.get_layout_height() / 2);
  const float f32Left = static_cast<float>(m_rLayout.get_left()) - f32CentreX;
  const float f32Top = f32CentreY - static_cast<float>(m_rLayout.get_top());
  m_rQuad = Box2C(Vector2C(f32Left, f32Top - static_cast<float>(m_rLayout.get_height())),
                  Vector2C(f32Left + static_cast<float>(m_rLayout.get_width()), f32Top));
}

void TextEffectC::draw(DeviceTableC* pDevices) {
  if (m_rLayout.get_pixels().empty()) {
    return;
  }
  DeviceDriverBaseC* pDevice = begin_quad(pDevices);
  if (!pDevice) {
    return;
  }
  GLint iMaxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &iMaxSize);
  if (m_rLayout.get_width() > iMaxSize || m_rLayout.get_height() > iMaxSize) {
    return;
  }
  m_rTexture.bind(BIND_CLAMP | BIND_LINEAR);
  if (!m_rTexture.holds(m_i32Version)) {
    m_rTexture.upload(m_i32Version, m_rLayout.get_pixels().data(), m_rLayout.get_width(), m_rLayout.get_height(),
                      PICTURE_RGBA32);
  }
  glEnable(GL_TEXTURE_2D);
  const RgbaColorC rColor = blend_color();
  glColor4f(rColor.m_f32R, rColor.m_f32G, rColor.m_f32B, rColor.m_f32A);
  draw_quad();
}
