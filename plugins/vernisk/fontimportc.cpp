#include "plugins/vernisk/fontimportc.h"

#include "platform/textlayoutc.h"
#include "plugins/vernisk/verniskclasses.h"

namespace {

// Fonts of whole scripts (CJK) run to some tens of megabytes.
constexpr uint32_t MAX_FONT_FILE_SIZE = uint32_t{64} << 20;

}  // namespace

FontImportC::~FontImportC() = default;

ClassIdentC FontImportC::get_class_ident() {
  return CLASS_FONT_IMPORT;
}

const char* FontImportC::get_class_name() {
  return FONT_IMPORT_CLASS_NAME;
}

const char* FontImportC::get_info() {
  m_sInfo = m_pFace ? m_pFace->get_name() + ", " + std::to_string(m_pFace->get_glyph_count()) + " glyphs" : "No Font";
  return m_sInfo.c_str();
}

ClassIdentC FontImportC::get_default_effect() {
  return CLASS_TEXT_EFFECT;
}

uint32_t FontImportC::max_file_size() const {
  return MAX_FONT_FILE_SIZE;
}

bool FontImportC::use_bytes(const StoredFileC& rFile, std::string* pError) {
  auto pFace = std::make_shared<FontFaceC>();
  if (!pFace->open(rFile.get_data(), rFile.get_size(), pError)) {
    return false;
  }
  m_pFace = std::move(pFace);
  m_pFaceBytes = rFile.get_bytes();
  return true;
}

void FontImportC::clear_state() {
  m_pFace.reset();
  m_pFaceBytes.reset();
}

void FontImportC::share_state(StoredImportC* pSource) {
  FontImportC* pFont = static_cast<FontImportC*>(pSource);
  m_pFace = pFont->m_pFace;
  m_pFaceBytes = pFont->m_pFaceBytes;
}
