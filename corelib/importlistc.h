#ifndef CORELIB_IMPORTLISTC_H
#define CORELIB_IMPORTLISTC_H

#include <cstdint>
#include <vector>

#include "corelib/editablec.h"

class ImportableBaseC;
class ImportHandleC;

// The document's imported files: an ordered list of owned handles, which in
// turn hold the importables. An ordinary list releases both when destroyed.
class ImportListC : public EditableC {
 public:
  static ImportListC* create_list();

  DataObjectC* create() override;
  EditableC* create_linked(EditableC* pOriginal) override;
  // An ordinary list releases its handles and takes duplicates of the source's
  // handles and importables, so two ordinary lists never share them. A restore
  // copy shares them, as restore does.
  void copy(EditableC* pSource) override;
  void restore(EditableC* pSource) override;
  // The document stores the importables, not the list.
  int32_t save(ChunkWriterC* pWriter) override;
  int32_t load(ChunkReaderC* pReader) override;

  virtual ImportHandleC* add_handle(ImportableBaseC* pImportable);
  virtual int32_t get_handle_count();
  // Reload, replace and delete are edits: without an undo object they do nothing.
  virtual void reload_handle(int32_t i32Index, void* pImportInterface);
  virtual void replace_handle(int32_t i32Index, const char* szFileName, void* pImportInterface);
  // The first handle whose file has the same name and extension as szPath,
  // ignoring drive, directories and case.
  virtual ImportHandleC* find_handle(const char* szPath);
  // Null when i32Index is out of range.
  virtual ImportHandleC* get_handle(int32_t i32Index);
  // The undo object takes over the handle and its importable.
  virtual void delete_handle(int32_t i32Index);

 protected:
  ImportListC() = default;
  explicit ImportListC(EditableC* pOriginal) : EditableC(pOriginal) {}
  ~ImportListC() override;

 private:
  ImportHandleC* get_editable_handle(int32_t i32Index);
  void swap_importable(ImportHandleC* pHandle, ImportableBaseC* pNew);
  void release_handles();

  std::vector<ImportHandleC*> m_rHandles;
};

#endif
