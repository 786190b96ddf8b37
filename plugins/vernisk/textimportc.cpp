#include "plugins/vernisk/textimportc.h"

#include <algorithm>

#include "plugins/vernisk/verniskclasses.h"

namespace {

// Texts longer than a Text effect sets (platform/textlayoutc.h) are cut
// there; this is only what a file may hold.
constexpr uint32_t MAX_TEXT_FILE_SIZE = uint32_t{1} << 20;

}  // namespace

ClassIdentC TextImportC::get_class_ident() {
  return CLASS_TEXT_IMPORT;
}

const char* TextImportC::get_class_name() {
  return TEXT_IMPORT_CLASS_NAME;
}

const char* TextImportC::get_info() {
  if (!m_rFile.get_bytes()) {
    m_sInfo = "No Text";
    return m_sInfo.c_str();
  }
  const std::string sText = text();
  const size_t uCharacters = static_cast<size_t>(
      std::count_if(sText.begin(), sText.end(), [](char c) { return (static_cast<uint8_t>(c) & 0xC0) != 0x80; }));
  const size_t uLines = sText.empty() ? 0 : 1 + static_cast<size_t>(std::count(sText.begin(), sText.end(), '\n'));
  m_sInfo = "UTF-8 text of " + std::to_string(uCharacters) + " characters in " + std::to_string(uLines) +
            (uLines == 1 ? " line" : " lines");
  return m_sInfo.c_str();
}

ClassIdentC TextImportC::get_default_effect() {
  return CLASS_TEXT_EFFECT;
}

uint32_t TextImportC::max_file_size() const {
  return MAX_TEXT_FILE_SIZE;
}

std::string TextImportC::text() const {
  const uint8_t* pBytes = m_rFile.get_data();
  if (!pBytes) {
    return std::string();
  }
  std::string sText(reinterpret_cast<const char*>(pBytes), m_rFile.get_size());
  if (sText.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    sText.erase(0, 3);
  }
  // The newline a text file ends with ends its last line: no empty line follows.
  if (!sText.empty() && sText.back() == '\n') {
    sText.pop_back();
    if (!sText.empty() && sText.back() == '\r') {
      sText.pop_back();
    }
  }
  return sText;
}
