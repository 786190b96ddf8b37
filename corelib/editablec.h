#ifndef CORELIB_EDITABLEC_H
#define CORELIB_EDITABLEC_H

#include <cstdint>

#include "corelib/dataobjectc.h"
#include "docfile/chunkreaderc.h"

class ChunkWriterC;
class UndoRecordC;

// Base of every document object: copying (deep and restore copies), an undo
// hook, and saving and loading through the chunked document format.
//
// A restore copy (non-null original) shares its children with the live object,
// so containers release their children only when original is null.
class EditableC : public DataObjectC {
 public:
  virtual EditableC* create_linked(EditableC* pOriginal) = 0;
  virtual void copy(EditableC* pSource) = 0;
  virtual void restore(EditableC* pSource) = 0;
  virtual EditableC* duplicate();
  virtual EditableC* make_restore_copy();
  virtual EditableC* get_original();
  virtual UndoRecordC* begin_editing(UndoRecordC* pUndo);
  virtual void set_undo(UndoRecordC* pUndo);
  virtual UndoRecordC* get_undo();
  virtual int32_t save(ChunkWriterC* pWriter) = 0;
  virtual int32_t load(ChunkReaderC* pReader) = 0;

 protected:
  EditableC() = default;
  explicit EditableC(EditableC* pOriginal) : m_pOriginal(pOriginal) {}
  ~EditableC() override;

  // Notes pChild to the undo object, when one is set.
  void note_child(EditableC* pChild, int32_t i32Code);

  EditableC* m_pOriginal = nullptr;
  UndoRecordC* m_pUndo = nullptr;
};

// The loader loop every object follows at its own chunk level. For each chunk,
// rHandler(id, version) reads what it knows and returns the chunk's last read
// result (0 for a chunk it skips). Returns CHUNK_END when the level is read to
// its end, or the first failing code of open_chunk or of a chunk.
template <class HandlerT>
int32_t load_chunks(ChunkReaderC* pReader, HandlerT&& rHandler) {
  for (;;) {
    int32_t i32Result = pReader->open_chunk();
    if (i32Result != CHUNK_OK) {
      return i32Result;
    }
    i32Result = rHandler(pReader->get_chunk_id(), pReader->get_chunk_version());
    pReader->close_chunk();
    if (i32Result != CHUNK_OK && i32Result != CHUNK_END) {
      return i32Result;
    }
  }
}

// Editing a child under its container's undo: the child records its state in
// the container's undo object for the duration of rEdit.
template <class EditT>
void edit_under_undo(EditableC* pChild, UndoRecordC* pUndo, EditT&& rEdit) {
  UndoRecordC* pPrevious = pChild->begin_editing(pUndo);
  rEdit();
  pChild->set_undo(pPrevious);
}

#endif
