# Writes a C++ source file that holds the bytes of INPUT as a character array:
#   cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=name -P embed_file.cmake
# defines  extern const char name[];  extern const std::size_t nameSize;  (in namespace quell)
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
string(REGEX REPLACE "(([^,]*,){24})" "\\1\n  " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n\nnamespace quell {\n\n"
  "extern const char ${SYMBOL}[];\nextern const std::size_t ${SYMBOL}Size;\n"
  "const char ${SYMBOL}[] = {\n  ${bytes}'\\0'};\nconst std::size_t ${SYMBOL}Size = ${size};\n\n}  // namespace quell\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
