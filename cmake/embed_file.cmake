# Turns a file into a C++ source that holds its bytes, run as
#   cmake -DINPUT=<file> -DOUTPUT=<source> -DSYMBOL=<name> -P embed_file.cmake
# The source defines `const unsigned char SYMBOL[]`, the bytes, and
# `const std::size_t SYMBOLSize`, their number. Bytes, not a string literal:
# any content survives, whatever its quotes, backslashes or length.
foreach(arg INPUT OUTPUT SYMBOL)
  if(NOT DEFINED ${arg})
    message(FATAL_ERROR "embed_file: ${arg} not given")
  endif()
endforeach()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
if(size EQUAL 0)
  message(FATAL_ERROR "embed_file: ${INPUT} is empty")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n" bytes "${bytes}")
get_filename_component(name "${INPUT}" NAME)

set(text "// Made from ${name} at build time: edit that file, not this one.\n#include <cstddef>\n\n\
extern const unsigned char ${SYMBOL}[];\nextern const std::size_t ${SYMBOL}Size;\n\
const unsigned char ${SYMBOL}[] = {\n${bytes}};\nconst std::size_t ${SYMBOL}Size = ${size};\n")
file(WRITE "${OUTPUT}" "${text}")
