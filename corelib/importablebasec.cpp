#include "corelib/importablebasec.h"

int32_t ImportableBaseC::get_item_count() {
  return 0;
}

void* ImportableBaseC::get_item(int32_t) {
  return nullptr;
}
