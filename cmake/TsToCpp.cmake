# Turns a Qt Linguist .ts file into a C++ table of its finished translations,
# for programs that translate without Qt (tovrel-cli):
#   cmake -DTS=tovrel_en.ts -DOUT=table.cpp -DNAME=kEnglish -P TsToCpp.cmake
# The table is an array of {context, source, translation} in the file's
# order, and its length. Unfinished and vanished entries
# are left out: their texts stay in the source language.
cmake_minimum_required(VERSION 3.25)
foreach(v TS OUT NAME)
  if(NOT DEFINED ${v})
    message(FATAL_ERROR "TsToCpp.cmake needs -D${v}=...")
  endif()
endforeach()

file(READ "${TS}" ts)

function(xml_unescape in out)
  string(REPLACE "&lt;" "<" s "${in}")
  string(REPLACE "&gt;" ">" s "${s}")
  string(REPLACE "&quot;" "\"" s "${s}")
  string(REPLACE "&apos;" "'" s "${s}")
  string(REPLACE "&#xd;" "\r" s "${s}")
  string(REPLACE "&#x9;" "\t" s "${s}")
  string(REPLACE "&amp;" "&" s "${s}")
  set(${out} "${s}" PARENT_SCOPE)
endfunction()

function(cpp_literal in out)
  string(REPLACE "\\" "\\\\" s "${in}")
  string(REPLACE "\"" "\\\"" s "${s}")
  string(REPLACE "\n" "\\n" s "${s}")
  string(REPLACE "\r" "\\r" s "${s}")
  string(REPLACE "\t" "\\t" s "${s}")
  set(${out} "\"${s}\"" PARENT_SCOPE)
endfunction()

# The text between `open` and the next `close` at or after `from`; `next` is
# the offset after `close`, -1 when there is none.
function(take_between text open close from result next)
  string(SUBSTRING "${text}" ${from} -1 rest)
  string(FIND "${rest}" "${open}" a)
  if(a EQUAL -1)
    set(${next} -1 PARENT_SCOPE)
    return()
  endif()
  string(LENGTH "${open}" open_len)
  math(EXPR a "${a} + ${open_len}")
  string(SUBSTRING "${rest}" ${a} -1 rest2)
  string(FIND "${rest2}" "${close}" b)
  if(b EQUAL -1)
    message(FATAL_ERROR "${TS}: ${open} without ${close}")
  endif()
  string(SUBSTRING "${rest2}" 0 ${b} inner)
  string(LENGTH "${close}" close_len)
  math(EXPR n "${from} + ${a} + ${b} + ${close_len}")
  set(${result} "${inner}" PARENT_SCOPE)
  set(${next} ${n} PARENT_SCOPE)
endfunction()

set(body "")
set(count 0)
set(pos 0)
while(TRUE)
  take_between("${ts}" "<context>" "</context>" ${pos} context pos)
  if(pos EQUAL -1)
    break()
  endif()
  take_between("${context}" "<name>" "</name>" 0 name ignored)
  xml_unescape("${name}" name)
  cpp_literal("${name}" name_lit)
  set(mpos 0)
  while(TRUE)
    take_between("${context}" "<message>" "</message>" ${mpos} message mpos)
    if(mpos EQUAL -1)
      break()
    endif()
    take_between("${message}" "<source>" "</source>" 0 source ignored)
    # <translation> or <translation type="...">: only the first is finished.
    string(FIND "${message}" "<translation>" t)
    if(t EQUAL -1)
      continue()
    endif()
    take_between("${message}" "<translation>" "</translation>" 0 translation ignored)
    if(translation STREQUAL "")
      continue()
    endif()
    xml_unescape("${source}" source)
    xml_unescape("${translation}" translation)
    cpp_literal("${source}" source_lit)
    cpp_literal("${translation}" translation_lit)
    string(APPEND body "    {${name_lit}, ${source_lit}, ${translation_lit}},\n")
    math(EXPR count "${count} + 1")
  endwhile()
endwhile()

file(WRITE "${OUT}.tmp"
"// Made by cmake/TsToCpp.cmake from ${TS}; do not edit.
#include \"BuiltInTexts.h\"

namespace tovrel::texts {

extern const TranslationRow ${NAME}[];
extern const unsigned long ${NAME}Count;
const TranslationRow ${NAME}[] = {
${body}};
const unsigned long ${NAME}Count = ${count};

}  // namespace tovrel::texts
")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
