#ifndef PLUGINS_VERNISK_TEXTEFFECTC_H
#define PLUGINS_VERNISK_TEXTEFFECTC_H

#include <cstdint>
#include <string>

#include "corelib/box2c.h"
#include "platform/textlayoutc.h"
#include "plugins/vernisk/placedeffectc.h"
#include "plugins/video/videotexturec.h"

class FontImportC;
class TextImportC;

// Parameters after Fill Color and Render mode, and the "Text" group (ids
// equal positions).
constexpr int32_t TEXT_PARAM_FONT = 2;
constexpr int32_t TEXT_PARAM_TEXT = 3;
constexpr int32_t TEXT_GIZMO_TEXT = 2;
constexpr int32_t TEXT_PARAM_SIZE = 0;
constexpr int32_t TEXT_PARAM_LINE_SPACING = 1;
constexpr int32_t TEXT_PARAM_ALIGNMENT = 2;
constexpr int32_t TEXT_PARAM_REVEAL = 3;

// Text of a Text File importable ("Text"), or else the effect's own name,
// set in a Font importable ("Font") at "Size" pixels with "Line spacing"
// and "Alignment", coloured by Fill Color. "Reveal" shows its characters
// from the first (0 none, 1 all), for typing. The text is set into a
// texture only when what it shows changes; Position is the centre of its
// lines' box.
class TextEffectC : public PlacedEffectC {
 public:
  static DataObjectC* make() { return new TextEffectC(); }

  DataObjectC* create() override { return make(); }
  EditableC* create_linked(EditableC* pOriginal) override { return new TextEffectC(pOriginal); }
  ClassIdentC get_class_ident() override;
  const char* get_class_name() override;
  // A font goes to "Font", a text file to "Text".
  void set_default_file(ImportHandleC* pHandle) override;
  void prepare(int32_t i32Reason, DeviceTableC* pDevices, TimeBaseC* pTimeContext) override;
  void evaluate(int32_t i32Time, TimeBaseC* pTimeContext) override;
  // Nothing without the OpenGL device or a font.
  void draw(DeviceTableC* pDevices) override;

 protected:
  TextEffectC();
  explicit TextEffectC(EditableC* pOriginal) : PlacedEffectC(pOriginal) {}
  ~TextEffectC() override;

 private:
  // What the picture was set from; a change sets it again.
  struct SourceS {
    FontFaceC* m_pFace = nullptr;
    const TextImportC* m_pText = nullptr;
    std::string m_sName;
    TextStyleS m_rStyle;
    bool operator==(const SourceS& rOther) const;
  };

  FontImportC* font();
  TextImportC* text_file();
  void set_picture(const SourceS& rSource);

  SourceS m_rSource;
  bool m_bSet = false;
  TextLayoutC m_rLayout;
  // The quad of the picture around the position, y up.
  Box2C m_rQuad;
  // Counts the pictures set, so the texture knows when to upload.
  int32_t m_i32Version = 0;
  VideoTextureC m_rTexture;
  // The text's characters, counted once per text.
  int32_t m_i32Characters = 0;
  std::string m_sCountedText;
  const TextImportC* m_pCountedFile = nullptr;
};

#endif
