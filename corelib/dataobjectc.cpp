#include "corelib/dataobjectc.h"

DataObjectC::~DataObjectC() = default;

void DataObjectC::release() {
  delete this;
}
