#ifndef CORELIB_UNDORECORDC_H
#define CORELIB_UNDORECORDC_H

#include <cstdint>

#include "corelib/dataobjectc.h"

class EditableC;

// Codes passed to note_child.
constexpr int32_t UNDO_CHILD_REMOVED = 1;
constexpr int32_t UNDO_CHILD_ADDED = 2;

// The undo object of an editing host; the scene model calls only these two.
class UndoRecordC : public DataObjectC {
 public:
  // Takes ownership of a copy made by make_restore_copy().
  virtual void add_restore_copy(EditableC* pCopy) = 0;
  // Notes a child just added to (UNDO_CHILD_ADDED) or removed from
  // (UNDO_CHILD_REMOVED) a container; returns the child.
  virtual EditableC* note_child(EditableC* pChild, int32_t i32Code) = 0;
};

#endif
