# Lists the headers of the source tree whose include guard breaks the tree's one rule, and fails
# if there are any. The guard of <path>.h is TESK_<PATH>_H_: the path from the top of the tree,
# upper case, every other character an underscore (cel/include/tesk/parvel.h guards with
# TESK_CEL_INCLUDE_TESK_PARVEL_H_). The first directive is "#ifndef <guard>", the next
# "#define <guard>", the last "#endif  // <guard>". A header that is read once per build carries
# the line "// No include guard: read once per build." instead.
#
#   cmake -DSOURCE_DIR=<top of the tree> -P header_guards.cmake
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "set SOURCE_DIR")
endif()

# Build trees and hidden folders hold generated headers that follow their generator's style.
file(GLOB tops RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
set(headers)
foreach(top IN LISTS tops)
  if(top MATCHES "^(build|\\.)" OR NOT IS_DIRECTORY "${SOURCE_DIR}/${top}")
    continue()
  endif()
  file(GLOB_RECURSE found RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${top}/*.h")
  list(APPEND headers ${found})
endforeach()
list(SORT headers)

set(bad 0)
foreach(header IN LISTS headers)
  file(READ "${SOURCE_DIR}/${header}" text)
  if(text MATCHES "\n// No include guard: read once per build\\.\n")
    continue()
  endif()
  string(TOUPPER "${header}" guard)
  string(REGEX REPLACE "[^A-Z0-9]" "_" guard "${guard}")
  set(guard "TESK_${guard}_")
  string(REGEX MATCH "(^|\n)#[^\n]*\n#[^\n]*" opening "${text}")
  string(STRIP "${opening}" opening)
  if(NOT opening STREQUAL "#ifndef ${guard}\n#define ${guard}" OR
     NOT text MATCHES "\n#endif  // ${guard}\n*$")
    message(STATUS "${header}: expected guard ${guard}")
    math(EXPR bad "${bad} + 1")
  endif()
endforeach()

list(LENGTH headers count)
if(bad GREATER 0)
  message(FATAL_ERROR "${bad} of ${count} headers break the include-guard rule")
endif()
message(STATUS "${count} headers follow the include-guard rule")
