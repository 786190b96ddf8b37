#ifndef TESTS_SUPPORT_OWNED_H
#define TESTS_SUPPORT_OWNED_H

#include <memory>

#include "corelib/dataobjectc.h"

// Document objects end through release(), never delete, so a test that owns
// one holds it in an OwnedT and cannot leak it on an early return.
struct ReleaseD {
  void operator()(DataObjectC* pObject) const { pObject->release(); }
};

template <class T>
using OwnedT = std::unique_ptr<T, ReleaseD>;

#endif
