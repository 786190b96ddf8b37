#include "description/paramkinds.h"

std::string param_kind_word(int32_t i32Kind) {
  switch (i32Kind) {
    case PARAM_KIND_INT:
      return "int";
    case PARAM_KIND_FLOAT:
      return "float";
    case PARAM_KIND_VECTOR2:
      return "vector2";
    case PARAM_KIND_COLOR:
      return "color";
    case PARAM_KIND_FILE:
      return "file";
    default:
      return std::to_string(i32Kind);
  }
}
