#ifndef CORELIB_OWNEDOBJECT_H
#define CORELIB_OWNEDOBJECT_H

#include <memory>

#include "corelib/dataobjectc.h"

// Objects end through release(), never delete: it runs the code of the
// library that made them. Until a container takes an object over, an OwnedT
// holds it, so that an early return cannot leak it.
struct ReleaseD {
  void operator()(DataObjectC* pObject) const { pObject->release(); }
};

template <class ObjectT>
using OwnedT = std::unique_ptr<ObjectT, ReleaseD>;

#endif
