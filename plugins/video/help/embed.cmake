# Writes the bytes of INPUT as a C++ array: OUTPUT defines SYMBOL (the bytes)
# and SYMBOL_size, declared in plugins/video/helpresources.h.
# Run as: cmake -DINPUT=... -DOUTPUT=... -DSYMBOL=... -P embed.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE "${OUTPUT}"
  "// Made from ${INPUT} at build time.\n"
  "#include \"plugins/video/helpresources.h\"\n\n"
  "extern const uint8_t ${SYMBOL}[] = {\n  ${bytes}\n};\n"
  "extern const uint32_t ${SYMBOL}_size = ${size};\n")
