#include "description/jsonvalues.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t CANONICAL_NAN_BITS = 0x7fc00000;
constexpr const char* NAN_PREFIX = "nan:";

JsonT non_finite_to_json(float f32Value) {
  if (std::isinf(f32Value)) {
    return f32Value > 0.0f ? "inf" : "-inf";
  }
  const uint32_t ui32Bits = float_bits(f32Value);
  return ui32Bits == CANONICAL_NAN_BITS ? std::string("nan") : NAN_PREFIX + hex_text(ui32Bits);
}

std::optional<float> text_to_float(const std::string& rText) {
  if (rText == "inf") {
    return HUGE_VALF;
  }
  if (rText == "-inf") {
    return -HUGE_VALF;
  }
  if (rText == "nan") {
    return bits_float(CANONICAL_NAN_BITS);
  }
  if (rText.rfind(NAN_PREFIX, 0) != 0) {
    return std::nullopt;
  }
  std::optional<uint32_t> rBits = parse_hex(rText.substr(std::strlen(NAN_PREFIX)));
  if (!rBits || !std::isnan(bits_float(*rBits))) {
    return std::nullopt;
  }
  return bits_float(*rBits);
}

// JSON keeps integers above the int64 range unsigned, where get<int64_t>
// would make them negative.
std::optional<int64_t> json_integer_within(const JsonT& rJson, int64_t i64Min, int64_t i64Max) {
  if (rJson.is_number_unsigned()) {
    const uint64_t ui64Value = rJson.get<uint64_t>();
    return ui64Value <= static_cast<uint64_t>(i64Max) ? std::optional<int64_t>(static_cast<int64_t>(ui64Value))
                                                       : std::nullopt;
  }
  if (!rJson.is_number_integer()) {
    return std::nullopt;
  }
  const int64_t i64Value = rJson.get<int64_t>();
  return i64Value >= i64Min && i64Value <= i64Max ? std::optional<int64_t>(i64Value) : std::nullopt;
}

std::optional<uint32_t> word_value(const std::string& rWord, const std::vector<WordS>& rWords) {
  for (const WordS& rEntry : rWords) {
    if (rWord == rEntry.m_szWord) {
      return rEntry.m_ui32Value;
    }
  }
  return std::nullopt;
}

}  // namespace

uint32_t float_bits(float f32Value) {
  uint32_t ui32Bits = 0;
  std::memcpy(&ui32Bits, &f32Value, sizeof(ui32Bits));
  return ui32Bits;
}

float bits_float(uint32_t ui32Bits) {
  float f32Value = 0.0f;
  std::memcpy(&f32Value, &ui32Bits, sizeof(f32Value));
  return f32Value;
}

const std::vector<WordS> PARAM_FLAG_WORDS = {
    {0x80, "new"}, {0x100, "animated"}, {0x200, "animatable"}, {0x400, "clamp"}};
const std::vector<WordS> KEY_FLAG_WORDS = {{0x1, "editor"}, {0x2, "linear"}, {0x4, "smooth"}, {0x8, "hold"}};
const std::vector<WordS> TRACK_MODE_WORDS = {{1, "constant"}, {2, "repeat"}, {3, "loop"}};

// The shortest decimal that reads back as the float, taken as a double: the
// JSON writer prints doubles as short as they read back, so the text stays
// short. Should the double not round to the same float, its exact value is used.
JsonT float_to_json(float f32Value) {
  if (!std::isfinite(f32Value)) {
    return non_finite_to_json(f32Value);
  }
  char szText[64];
  std::to_chars_result rResult = std::to_chars(szText, szText + sizeof(szText) - 1, f32Value);
  *rResult.ptr = '\0';
  const double f64Value = std::strtod(szText, nullptr);
  if (static_cast<float>(f64Value) == f32Value && std::signbit(f64Value) == std::signbit(f32Value)) {
    return f64Value;
  }
  return static_cast<double>(f32Value);
}

std::optional<float> json_to_float(const JsonT& rJson) {
  if (rJson.is_string()) {
    return text_to_float(rJson.get<std::string>());
  }
  if (!rJson.is_number()) {
    return std::nullopt;
  }
  const double f64Value = rJson.get<double>();
  const float f32Value = static_cast<float>(f64Value);
  // A finite number beyond the float range is a mistake, not infinity.
  if (std::isinf(f32Value)) {
    return std::nullopt;
  }
  return f32Value;
}

std::optional<int32_t> json_to_int32(const JsonT& rJson) {
  const std::optional<int64_t> rValue = json_integer_within(rJson, INT32_MIN, INT32_MAX);
  return rValue ? std::optional<int32_t>(static_cast<int32_t>(*rValue)) : std::nullopt;
}

std::optional<uint32_t> json_to_uint32(const JsonT& rJson) {
  const std::optional<int64_t> rValue = json_integer_within(rJson, 0, UINT32_MAX);
  return rValue ? std::optional<uint32_t>(static_cast<uint32_t>(*rValue)) : std::nullopt;
}

std::string hex_text(uint32_t ui32Value) {
  char szText[16];
  std::snprintf(szText, sizeof(szText), "0x%08x", ui32Value);
  return szText;
}

std::optional<uint32_t> parse_hex(const std::string& rText) {
  if (rText.size() < 3 || rText[0] != '0' || (rText[1] != 'x' && rText[1] != 'X')) {
    return std::nullopt;
  }
  uint32_t ui32Value = 0;
  const char* pEnd = rText.data() + rText.size();
  std::from_chars_result rResult = std::from_chars(rText.data() + 2, pEnd, ui32Value, 16);
  if (rResult.ec != std::errc() || rResult.ptr != pEnd) {
    return std::nullopt;
  }
  return ui32Value;
}

std::string class_ident_text(const ClassIdentC& rClass) {
  return hex_text(rClass.get_first()) + ":" + hex_text(rClass.get_second());
}

std::optional<ClassIdentC> parse_class_ident(const std::string& rText) {
  const size_t uColon = rText.find(':');
  if (uColon == std::string::npos) {
    return std::nullopt;
  }
  std::optional<uint32_t> rFirst = parse_hex(rText.substr(0, uColon));
  std::optional<uint32_t> rSecond = parse_hex(rText.substr(uColon + 1));
  if (!rFirst || !rSecond) {
    return std::nullopt;
  }
  return ClassIdentC(*rFirst, *rSecond);
}

JsonT class_json(const ClassIdentC& rClass, const std::string& rName) {
  JsonT rJson = JsonT::object();
  rJson["id"] = class_ident_text(rClass);
  rJson["name"] = rName;
  return rJson;
}

JsonT flags_to_json(uint32_t ui32Flags, const std::vector<WordS>& rWords) {
  JsonT rList = JsonT::array();
  for (const WordS& rEntry : rWords) {
    if (ui32Flags & rEntry.m_ui32Value) {
      rList.push_back(rEntry.m_szWord);
      ui32Flags &= ~rEntry.m_ui32Value;
    }
  }
  if (ui32Flags != 0) {
    rList.push_back(ui32Flags);
  }
  return rList;
}

std::optional<uint32_t> json_to_flags(const JsonT& rJson, const std::vector<WordS>& rWords) {
  if (rJson.is_number()) {
    return json_to_uint32(rJson);
  }
  if (!rJson.is_array()) {
    return std::nullopt;
  }
  uint32_t ui32Flags = 0;
  for (const JsonT& rItem : rJson) {
    std::optional<uint32_t> rBits =
        rItem.is_string() ? word_value(rItem.get<std::string>(), rWords) : json_to_uint32(rItem);
    if (!rBits) {
      return std::nullopt;
    }
    ui32Flags |= *rBits;
  }
  return ui32Flags;
}

JsonT code_to_json(int32_t i32Code, const std::vector<WordS>& rWords) {
  for (const WordS& rEntry : rWords) {
    if (static_cast<uint32_t>(i32Code) == rEntry.m_ui32Value) {
      return rEntry.m_szWord;
    }
  }
  return i32Code;
}

std::optional<int32_t> json_to_code(const JsonT& rJson, const std::vector<WordS>& rWords) {
  if (rJson.is_string()) {
    std::optional<uint32_t> rValue = word_value(rJson.get<std::string>(), rWords);
    return rValue ? std::optional<int32_t>(static_cast<int32_t>(*rValue)) : std::nullopt;
  }
  return json_to_int32(rJson);
}

std::string bytes_to_hex(const std::vector<uint8_t>& rBytes) {
  static const char* const DIGITS = "0123456789abcdef";
  std::string sText;
  for (uint8_t ui8Byte : rBytes) {
    sText += DIGITS[ui8Byte >> 4];
    sText += DIGITS[ui8Byte & 0xf];
  }
  return sText;
}

std::optional<std::vector<uint8_t>> hex_to_bytes(const std::string& rText) {
  if (rText.size() % 2 != 0) {
    return std::nullopt;
  }
  std::vector<uint8_t> rBytes;
  for (size_t u = 0; u < rText.size(); u += 2) {
    uint8_t ui8Byte = 0;
    std::from_chars_result rResult = std::from_chars(rText.data() + u, rText.data() + u + 2, ui8Byte, 16);
    if (rResult.ec != std::errc() || rResult.ptr != rText.data() + u + 2) {
      return std::nullopt;
    }
    rBytes.push_back(ui8Byte);
  }
  return rBytes;
}
