#ifndef TESTS_SUPPORT_RECORDINGUNDOC_H
#define TESTS_SUPPORT_RECORDINGUNDOC_H

#include <cstdint>
#include <utility>
#include <vector>

#include "corelib/editablec.h"
#include "corelib/undorecordc.h"

// An undo object that records what the scene model tells it. It owns the
// restore copies it is given and, like an editing host's undo, the children
// noted as removed.
class RecordingUndoC : public UndoRecordC {
 public:
  static RecordingUndoC* make() { return new RecordingUndoC(); }

  DataObjectC* create() override { return new RecordingUndoC(); }
  void add_restore_copy(EditableC* pCopy) override { m_rRestoreCopies.push_back(pCopy); }
  EditableC* note_child(EditableC* pChild, int32_t i32Code) override {
    m_rNotes.emplace_back(pChild, i32Code);
    return pChild;
  }

  std::vector<EditableC*> m_rRestoreCopies;
  std::vector<std::pair<EditableC*, int32_t>> m_rNotes;

 private:
  RecordingUndoC() = default;
  ~RecordingUndoC() override {
    for (EditableC* pCopy : m_rRestoreCopies) {
      pCopy->release();
    }
    for (auto& rNote : m_rNotes) {
      if (rNote.second == UNDO_CHILD_REMOVED) {
        rNote.first->release();
      }
    }
  }
};

#endif
