# Checks that the driver library exports exactly the functions of the
# driver's function list (zrq7010_<name> for each entry) and nothing else.
# Run with -DLIB=<library file> -DNM=<nm program> -DLIST=<zrq7010_32_functions.h>.
file(READ ${LIST} list_text)
string(REGEX MATCHALL "X\\(int32_t, [a-z_]+," entries "${list_text}")
set(expected)
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "X\\(int32_t, ([a-z_]+)," "zrq7010_\\1" name "${entry}")
  list(APPEND expected ${name})
endforeach()
if(NOT expected)
  message(FATAL_ERROR "no functions read from ${LIST}")
endif()

execute_process(COMMAND ${NM} -D --defined-only ${LIB}
                OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIB}")
endif()
string(REPLACE "\n" ";" lines "${out}")
set(exported)
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-fA-F]+ ([A-Za-z]) (.+)$")
    if(CMAKE_MATCH_1 STREQUAL "A")
      continue() # version-script node names
    endif()
    list(APPEND exported "${CMAKE_MATCH_2}")
  endif()
endforeach()
list(SORT expected)
list(SORT exported)
if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "exported: ${exported}\nlisted: ${expected}")
endif()
