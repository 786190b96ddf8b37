#ifndef DESCRIPTION_JSONVALUES_H
#define DESCRIPTION_JSONVALUES_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "corelib/classidentc.h"

// Descriptions keep their members in the order written.
using JsonT = nlohmann::ordered_json;

// The "format" of a description.
constexpr const char* DESCRIPTION_FORMAT = "tiravo-doc 1";

// A float as a JSON number that reads back as the same float, printed as
// short as that allows; "inf", "-inf", "nan" (or "nan:0x..." with its bits)
// for what JSON numbers cannot hold.
JsonT float_to_json(float f32Value);
std::optional<float> json_to_float(const JsonT& rJson);
// A float's bits, and the float of given bits, NaN payloads included.
uint32_t float_bits(float f32Value);
float bits_float(uint32_t ui32Bits);

// A JSON integer from -2147483648 to 2147483647.
std::optional<int32_t> json_to_int32(const JsonT& rJson);
// A JSON integer from 0 to 4294967295, read as signed or not.
std::optional<uint32_t> json_to_uint32(const JsonT& rJson);

// "0x%08x".
std::string hex_text(uint32_t ui32Value);
std::optional<uint32_t> parse_hex(const std::string& rText);
// "0xFIRST:0xSECOND".
std::string class_ident_text(const ClassIdentC& rClass);
std::optional<ClassIdentC> parse_class_ident(const std::string& rText);
// {"id": "0xFIRST:0xSECOND", "name": rName}.
JsonT class_json(const ClassIdentC& rClass, const std::string& rName);

// Names of single flag bits or of enumeration codes.
struct WordS {
  uint32_t m_ui32Value;
  const char* m_szWord;
};

extern const std::vector<WordS> PARAM_FLAG_WORDS;
extern const std::vector<WordS> KEY_FLAG_WORDS;
extern const std::vector<WordS> TRACK_MODE_WORDS;

// A bit set as a list: the words of the known bits, then the other bits as
// one integer.
JsonT flags_to_json(uint32_t ui32Flags, const std::vector<WordS>& rWords);
// Such a list, or a plain integer.
std::optional<uint32_t> json_to_flags(const JsonT& rJson, const std::vector<WordS>& rWords);
// A code as its word, or as an integer when it has none.
JsonT code_to_json(int32_t i32Code, const std::vector<WordS>& rWords);
std::optional<int32_t> json_to_code(const JsonT& rJson, const std::vector<WordS>& rWords);

std::string bytes_to_hex(const std::vector<uint8_t>& rBytes);
std::optional<std::vector<uint8_t>> hex_to_bytes(const std::string& rText);

#endif
