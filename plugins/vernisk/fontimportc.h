#ifndef PLUGINS_VERNISK_FONTIMPORTC_H
#define PLUGINS_VERNISK_FONTIMPORTC_H

#include <memory>
#include <string>

#include "plugins/vernisk/storedimportc.h"

class FontFaceC;

// An imported TrueType or OpenType font, opened by FreeType once when it is
// imported or loaded; Text effects set their text in it.
class FontImportC : public StoredImportC {
 public:
  static DataObjectC* make() { return new FontImportC(); }

  DataObjectC* create() override { return make(); }
  EditableC* create_linked(EditableC* pOriginal) override { return new FontImportC(pOriginal); }
  ClassIdentC get_class_ident() override;
  const char* get_class_name() override;
  // The font's name and its glyphs.
  const char* get_info() override;
  ClassIdentC get_default_effect() override;

  // Null without a font. Shared by restore copies.
  FontFaceC* face() const { return m_pFace.get(); }

 protected:
  FontImportC() = default;
  explicit FontImportC(EditableC* pOriginal) : StoredImportC(pOriginal) {}
  ~FontImportC() override;

  const char* kind() const override { return "Font"; }
  uint32_t max_file_size() const override;
  bool use_bytes(const StoredFileC& rFile, std::string* pError) override;
  void clear_state() override;
  void share_state(StoredImportC* pSource) override;

 private:
  // The face reads from these bytes: they go with it.
  StoredFileC::BytesT m_pFaceBytes;
  std::shared_ptr<FontFaceC> m_pFace;
  std::string m_sInfo;
};

#endif
