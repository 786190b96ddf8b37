#include "corelib/graphicsimportablec.h"

SuperClassIdentC GraphicsImportableC::get_super_class_ident() {
  return SUPERCLASS_VIDEO_IMPORTABLE;
}
