#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "description/jsonvalues.h"

namespace {

// Through JSON text and back, as dump and build see it.
uint32_t through_text(float f32Value) {
  const std::string sText = JsonT::array({float_to_json(f32Value)}).dump();
  std::optional<float> rBack = json_to_float(JsonT::parse(sText)[0]);
  EXPECT_TRUE(rBack.has_value()) << sText;
  return rBack ? float_bits(*rBack) : 0;
}

TEST(FloatJsonTest, EveryKindOfFloatComesBackWithTheSameBits) {
  const float rSpecial[] = {0.0f, -0.0f, 0.1f, -2.5f, 1.0f / 3.0f, 16777217.0f, 3.4028235e38f, -3.4028235e38f,
                            1.17549435e-38f, 1.4e-45f, std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(), std::nanf(""), bits_float(0x7fc00123),
                            bits_float(0xffc00000)};
  for (float f32Value : rSpecial) {
    EXPECT_EQ(float_bits(f32Value), through_text(f32Value)) << std::hex << float_bits(f32Value);
  }
  std::mt19937 rRandom(7);
  for (int i = 0; i < 20000; ++i) {
    const uint32_t ui32Bits = static_cast<uint32_t>(rRandom());
    EXPECT_EQ(ui32Bits, through_text(bits_float(ui32Bits))) << std::hex << ui32Bits;
  }
}

TEST(FloatJsonTest, FloatsArePrintedAsShortAsTheyReadBack) {
  EXPECT_EQ("[0.1,-2.5,320.0,1e-45]",
            JsonT::array({float_to_json(0.1f), float_to_json(-2.5f), float_to_json(320.0f), float_to_json(1.4e-45f)})
                .dump());
  EXPECT_EQ("\"inf\"", float_to_json(std::numeric_limits<float>::infinity()).dump());
  EXPECT_EQ("\"nan\"", float_to_json(std::nanf("")).dump());
  EXPECT_EQ("\"nan:0x7fc00123\"", float_to_json(bits_float(0x7fc00123)).dump());
}

TEST(FloatJsonTest, WhatIsNoFloatIsRefused) {
  EXPECT_FALSE(json_to_float(JsonT("fast")).has_value());
  EXPECT_FALSE(json_to_float(JsonT("nan:0x3f800000")).has_value());  // 1.0, not a NaN
  EXPECT_FALSE(json_to_float(JsonT(1e300)).has_value());
  EXPECT_FALSE(json_to_float(JsonT::array()).has_value());
  EXPECT_EQ(0.5f, json_to_float(JsonT(0.5)).value());
  EXPECT_EQ(7.0f, json_to_float(JsonT(7)).value());
}

TEST(ClassIdentJsonTest, IdentifiersReadBackAndMalformedOnesAreRefused) {
  EXPECT_EQ("0x311832a9:0x166d4653", class_ident_text(ClassIdentC(0x311832A9, 0x166D4653)));
  EXPECT_EQ(ClassIdentC(0, 0x2710), parse_class_ident("0x00000000:0x00002710").value());
  EXPECT_EQ(ClassIdentC(0xABCDEF01, 1), parse_class_ident("0xABCDEF01:0x1").value());
  EXPECT_FALSE(parse_class_ident("0x1").has_value());
  EXPECT_FALSE(parse_class_ident("0x1:2").has_value());
  EXPECT_FALSE(parse_class_ident("0x1:0x1ffffffff").has_value());
  EXPECT_FALSE(parse_class_ident("Video Player").has_value());
}

// JSON integers above 2^63 are kept unsigned; none of them is in range.
TEST(IntegerJsonTest, IntegersOutsideTheirRangeAreRefused) {
  EXPECT_EQ(INT32_MIN, json_to_int32(JsonT::parse("-2147483648")).value());
  EXPECT_EQ(INT32_MAX, json_to_int32(JsonT::parse("2147483647")).value());
  EXPECT_EQ(4294967295u, json_to_uint32(JsonT::parse("4294967295")).value());
  for (const char* szText : {"18446744073709551615", "9223372036854775808", "-9223372036854775808", "2147483648",
                             "-2147483649", "1.0"}) {
    EXPECT_FALSE(json_to_int32(JsonT::parse(szText)).has_value()) << szText;
    EXPECT_FALSE(json_to_code(JsonT::parse(szText), TRACK_MODE_WORDS).has_value()) << szText;
  }
  EXPECT_FALSE(json_to_uint32(JsonT::parse("18446744073709551615")).has_value());
  EXPECT_FALSE(json_to_uint32(JsonT::parse("4294967296")).has_value());
  EXPECT_FALSE(json_to_uint32(JsonT::parse("-1")).has_value());
}

TEST(WordsJsonTest, FlagsAreWordsWithTheOtherBitsAsOneNumber) {
  EXPECT_EQ(JsonT::parse(R"(["new","animated","clamp"])"), flags_to_json(0x580, PARAM_FLAG_WORDS));
  EXPECT_EQ(JsonT::parse(R"(["smooth",48])"), flags_to_json(0x34, KEY_FLAG_WORDS));
  EXPECT_EQ(JsonT::array(), flags_to_json(0, KEY_FLAG_WORDS));
  EXPECT_EQ(0x34u, json_to_flags(JsonT::parse(R"(["smooth",16,32])"), KEY_FLAG_WORDS).value());
  EXPECT_EQ(0x580u, json_to_flags(JsonT(0x580), PARAM_FLAG_WORDS).value());
  EXPECT_FALSE(json_to_flags(JsonT::parse(R"(["smooth","fast"])"), KEY_FLAG_WORDS).has_value());
  EXPECT_FALSE(json_to_flags(JsonT(-1), KEY_FLAG_WORDS).has_value());
}

TEST(WordsJsonTest, ModesAreWordsAndUnknownCodesNumbers) {
  EXPECT_EQ(JsonT("repeat"), code_to_json(2, TRACK_MODE_WORDS));
  EXPECT_EQ(JsonT(7), code_to_json(7, TRACK_MODE_WORDS));
  EXPECT_EQ(3, json_to_code(JsonT("loop"), TRACK_MODE_WORDS).value());
  EXPECT_EQ(-4, json_to_code(JsonT(-4), TRACK_MODE_WORDS).value());
  EXPECT_FALSE(json_to_code(JsonT("bounce"), TRACK_MODE_WORDS).has_value());
}

TEST(BytesJsonTest, BytesGoThroughHex) {
  const std::vector<uint8_t> rBytes = {0x00, 0x7f, 0xa0, 0xff};
  EXPECT_EQ("007fa0ff", bytes_to_hex(rBytes));
  EXPECT_EQ(rBytes, hex_to_bytes("007FA0ff").value());
  EXPECT_FALSE(hex_to_bytes("abc").has_value());
  EXPECT_FALSE(hex_to_bytes("zz").has_value());
}

}  // namespace
