# Writes one asset file as a C++ byte array: run with cmake -P and
#   IN     the asset file          OUT     the .cpp to write
#   NAME   the array's name        HEADER  the header declaring it
#   TEXT   1 for a text: a const char array closed by a NUL, no size
# A picture also gets NAME_size, its length in bytes.
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 row)
string(REGEX REPLACE "(${row})" "\\1\n    " bytes "${bytes}")
if(TEXT)
  set(body "const char ${NAME}[] = {\n    ${bytes}0};\n")
else()
  set(body "const unsigned char ${NAME}[] = {\n    ${bytes}};\nconst size_t ${NAME}_size = ${size};\n")
endif()
file(WRITE "${OUT}.new" "// Built from ${IN}.\n#include \"${HEADER}\"\n\n${body}")
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
