# Writes a C++ source holding the lines of a UTF-8 text table as an array of strings.
# A line end is "\r\n" or "\n"; the bytes of each line are kept exactly.
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" len)
set(body "")
set(line "")
set(count 0)
set(i 0)
# Work on the hexadecimal form so that every byte is kept as it stands.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1," escaped "${hex}")
string(REPLACE "\\x0d,\\x0a," "\\x0a," escaped "${escaped}")
string(REPLACE "\\x0a," ";" lines "${escaped}")
# A final line end does not start another line.
string(REGEX REPLACE ";$" "" lines "${lines}")
foreach(l IN LISTS lines)
    string(REPLACE "," "" l "${l}")
    string(APPEND body "    \"${l}\"\"\",\n")
    math(EXPR count "${count} + 1")
endforeach()
file(WRITE "${OUT}.tmp"
"// Generated from ${IN}; do not edit.\n#include <cstddef>\nnamespace tables {\nextern const char* const ${NAME}_lines[];\nextern const std::size_t ${NAME}_count;\nconst char* const ${NAME}_lines[] = {\n${body}    nullptr};\nconst std::size_t ${NAME}_count = ${count};\n}\n")
file(RENAME "${OUT}.tmp" "${OUT}")
