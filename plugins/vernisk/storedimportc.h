#ifndef PLUGINS_VERNISK_STOREDIMPORTC_H
#define PLUGINS_VERNISK_STOREDIMPORTC_H

#include <cstdint>
#include <string>

#include "corelib/importablebasec.h"
#include "plugins/vernisk/storedfilec.h"

// What vernisk's importables of files that are no pictures share (shaders,
// fonts, texts): the file kept whole in the document, the family, no length
// of their own. A class says how large its files may be and what it makes
// of their bytes.
class StoredImportC : public ImportableBaseC {
 public:
  // Nothing: an importable is reloaded from its file instead.
  void copy(EditableC*) override {}
  void restore(EditableC* pSource) override;
  int32_t save(ChunkWriterC* pWriter) override { return m_rFile.save(pWriter); }
  // Bytes the class cannot use are said on standard error and leave it empty.
  int32_t load(ChunkReaderC* pReader) override;

  const char* get_file_name() override { return m_rFile.get_name().c_str(); }
  // False, with nothing changed and the reason on standard error, when the
  // file cannot be read or its bytes are of no use to the class.
  bool load_file(const char* szPath, void* pOption) override;
  void prepare(int32_t, DeviceTableC*, TimeBaseC*) override {}
  SuperClassIdentC get_super_class_ident() override;
  int32_t get_duration(TimeBaseC*) override { return -1; }
  float get_first_label(TimeBaseC*) override { return 0.0f; }
  float get_last_label(TimeBaseC*) override { return 0.0f; }

 protected:
  StoredImportC() = default;
  explicit StoredImportC(EditableC* pOriginal) : ImportableBaseC(pOriginal) {}
  ~StoredImportC() override = default;

  // "Font", for the messages.
  virtual const char* kind() const = 0;
  virtual uint32_t max_file_size() const = 0;
  // Makes the class's own state from rFile's bytes; false with the reason,
  // and the state unchanged, when they are of no use.
  virtual bool use_bytes(const StoredFileC& rFile, std::string* pError) = 0;
  virtual void clear_state() = 0;
  // The source's state, for a restore copy.
  virtual void share_state(StoredImportC* pSource) = 0;

  StoredFileC m_rFile;
};

#endif
