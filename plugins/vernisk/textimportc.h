#ifndef PLUGINS_VERNISK_TEXTIMPORTC_H
#define PLUGINS_VERNISK_TEXTIMPORTC_H

#include <string>

#include "plugins/vernisk/storedimportc.h"

// An imported UTF-8 text file of any number of lines, for Text effects.
class TextImportC : public StoredImportC {
 public:
  static DataObjectC* make() { return new TextImportC(); }

  DataObjectC* create() override { return make(); }
  EditableC* create_linked(EditableC* pOriginal) override { return new TextImportC(pOriginal); }
  ClassIdentC get_class_ident() override;
  const char* get_class_name() override;
  // Its characters and lines.
  const char* get_info() override;
  ClassIdentC get_default_effect() override;

  // The text without a leading byte order mark and without the newline that
  // ends the file.
  std::string text() const;

 protected:
  TextImportC() = default;
  explicit TextImportC(EditableC* pOriginal) : StoredImportC(pOriginal) {}
  ~TextImportC() override = default;

  const char* kind() const override { return "Text"; }
  uint32_t max_file_size() const override;
  // Any bytes: what is no UTF-8 shows as replacement characters.
  bool use_bytes(const StoredFileC&, std::string*) override { return true; }
  void clear_state() override {}
  void share_state(StoredImportC*) override {}

 private:
  std::string m_sInfo;
};

#endif
