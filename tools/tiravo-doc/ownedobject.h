#ifndef TOOLS_TIRAVO_DOC_OWNEDOBJECT_H
#define TOOLS_TIRAVO_DOC_OWNEDOBJECT_H

#include <memory>

// Objects are destroyed through release(), which runs the code of the
// library that made them; until a container takes an object over, this holds it.
struct ReleaseD {
  template <class ObjectT>
  void operator()(ObjectT* pObject) const {
    pObject->release();
  }
};

template <class ObjectT>
using OwnedT = std::unique_ptr<ObjectT, ReleaseD>;

#endif
