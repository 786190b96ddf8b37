#ifndef DESCRIPTION_PARAMKINDS_H
#define DESCRIPTION_PARAMKINDS_H

#include <cstdint>
#include <string>

#include "corelib/parambasec.h"

// "int", "float", "vector2", "color", "file"; the code as text for others.
std::string param_kind_word(int32_t i32Kind);

// Runs rAction while the parameter is neither animated nor clamped: its
// getters then give the constant value, and its setters store a value as
// given, without writing a key. The flags are put back afterwards.
template <class ActionT>
void with_constant_value(ParamBaseC* pParam, ActionT&& rAction) {
  const uint32_t ui32Flags = pParam->get_flags();
  pParam->set_flags(ui32Flags & ~(PARAM_FLAG_ANIMATED | PARAM_FLAG_CLAMP));
  rAction();
  pParam->set_flags(ui32Flags);
}

// Runs rAction while the parameter is animated, so that its set_value
// writes a key at the time given.
template <class ActionT>
void with_keys_written(ParamBaseC* pParam, ActionT&& rAction) {
  const uint32_t ui32Flags = pParam->get_flags();
  pParam->set_flags(ui32Flags | PARAM_FLAG_ANIMATED);
  rAction();
  pParam->set_flags(ui32Flags);
}

#endif
