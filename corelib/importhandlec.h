#ifndef CORELIB_IMPORTHANDLEC_H
#define CORELIB_IMPORTHANDLEC_H

#include <cstdint>

#include "corelib/editablec.h"

class ImportableBaseC;

// A stable reference to one imported file. Effects and parameters point at the
// handle, so reloading or replacing the file only swaps the importable inside.
// The handle never releases its importable: the file list owns it.
class ImportHandleC : public EditableC {
 public:
  static ImportHandleC* create_handle();

  DataObjectC* create() override;
  EditableC* create_linked(EditableC* pOriginal) override;
  // Both take over the use count and the importable, never the user value.
  void copy(EditableC* pSource) override;
  void restore(EditableC* pSource) override;
  // Handles are remade while loading, so nothing of them is stored.
  int32_t save(ChunkWriterC* pWriter) override;
  int32_t load(ChunkReaderC* pReader) override;

  virtual ImportableBaseC* get_importable();
  // Does not release the previous importable.
  virtual void set_importable(ImportableBaseC* pImportable);
  virtual int32_t get_user_value();
  virtual void set_user_value(int32_t i32Value);
  virtual void inc_use_count();
  virtual void reset_use_count();
  virtual int32_t get_use_count();

 protected:
  ImportHandleC() = default;
  explicit ImportHandleC(EditableC* pOriginal) : EditableC(pOriginal) {}
  ~ImportHandleC() override;

 private:
  void take_over(ImportHandleC* pSource);

  int32_t m_i32UseCount = 0;
  ImportableBaseC* m_pImportable = nullptr;
  int32_t m_i32UserValue = 0;
};

#endif
