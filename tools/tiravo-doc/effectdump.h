#ifndef TOOLS_TIRAVO_DOC_EFFECTDUMP_H
#define TOOLS_TIRAVO_DOC_EFFECTDUMP_H

#include <cstdint>
#include <functional>

#include "description/jsonvalues.h"

class EffectBaseC;
class ImportHandleC;
class ParamBaseC;

// The file index of a handle, -1 for one that is not in the document.
using FileIndexF = std::function<int32_t(ImportHandleC*)>;

// The effect's class, base part, gizmo flags and every parameter.
JsonT dump_effect(EffectBaseC* pEffect, const FileIndexF& rFileIndex);
JsonT dump_param(ParamBaseC* pParam, const FileIndexF& rFileIndex);

#endif
