# Turns a file into a C++ source that carries it as a byte array.
#   cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DSYMBOL=<name> -DHEADER=<include>
#         -P embed_file.cmake
# Defines `const unsigned char SYMBOL[]` and `const std::size_t SYMBOLSize`.

file(READ "${INPUT}" content HEX)
string(LENGTH "${content}" hexLength)
math(EXPR size "${hexLength} / 2")
if(size EQUAL 0)
    message(FATAL_ERROR "embed_file: ${INPUT} is empty")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${content}")
string(REPEAT "0x..," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")

file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT}; do not edit.
#include \"${HEADER}\"

alignas(16) const unsigned char ${SYMBOL}[${size}] = {
    ${bytes}
};
const std::size_t ${SYMBOL}Size = sizeof ${SYMBOL};
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
