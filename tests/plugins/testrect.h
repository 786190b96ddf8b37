#ifndef TESTS_PLUGINS_TESTRECT_H
#define TESTS_PLUGINS_TESTRECT_H

#include <cstdint>

#include "corelib/classidentc.h"

// What tests know of the effect in testrect.so: they reach it only through
// the registry and the shared interfaces, never through its own symbols.
static const ClassIdentC TESTRECT_CLASS(0x7E57AEC7, 0x00000001);
constexpr const char* TESTRECT_CLASS_NAME = "Test Rectangle";

// Its one gizmo and the parameters in it, by id (ids equal positions).
constexpr int32_t TESTRECT_GIZMO_ID = 0;
constexpr int32_t TESTRECT_PARAM_COLOR = 0;   // ColorParamC, animatable
constexpr int32_t TESTRECT_PARAM_MIN = 1;     // Vector2ParamC, corner in layout coordinates, y up
constexpr int32_t TESTRECT_PARAM_MAX = 2;     // Vector2ParamC, the opposite corner
constexpr int32_t TESTRECT_PARAM_SOURCE = 3;  // FileParamC: not drawn, lets documents refer to a file

#endif
