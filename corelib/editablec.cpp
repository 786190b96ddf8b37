#include "corelib/editablec.h"

#include "corelib/undorecordc.h"

EditableC::~EditableC() = default;

EditableC* EditableC::duplicate() {
  EditableC* pCopy = static_cast<EditableC*>(create());
  pCopy->copy(this);
  return pCopy;
}

EditableC* EditableC::make_restore_copy() {
  EditableC* pCopy = create_linked(this);
  pCopy->restore(this);
  return pCopy;
}

EditableC* EditableC::get_original() {
  return m_pOriginal;
}

UndoRecordC* EditableC::begin_editing(UndoRecordC* pUndo) {
  UndoRecordC* pPrevious = m_pUndo;
  if (pUndo) {
    pUndo->add_restore_copy(make_restore_copy());
  }
  m_pUndo = pUndo;
  return pPrevious;
}

void EditableC::set_undo(UndoRecordC* pUndo) {
  m_pUndo = pUndo;
}

UndoRecordC* EditableC::get_undo() {
  return m_pUndo;
}

void EditableC::note_child(EditableC* pChild, int32_t i32Code) {
  if (m_pUndo) {
    m_pUndo->note_child(pChild, i32Code);
  }
}
