# cmake -DIN=file -DOUT=file.cpp -DSYMBOL=name -P EmbedFile.cmake
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" hexlen)
math(EXPR size "${hexlen} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
string(REGEX REPLACE "(('[^']*',){16})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUT}" "// Generated from ${IN}; do not edit.\n#include <string_view>\nnamespace quorvex::data {\nstatic const char kBytes[] = {${bytes} '\\0'};\nextern const std::string_view ${SYMBOL};\nconst std::string_view ${SYMBOL}(kBytes, ${size});\n}\n")
