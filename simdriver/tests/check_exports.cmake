# Checks that the driver library exports exactly the 44 zrq7010_* functions
# and nothing else. Run with -DLIB=<library file> -DNM=<nm program>.
execute_process(COMMAND ${NM} -D --defined-only ${LIB}
                OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIB}")
endif()
string(REPLACE "\n" ";" lines "${out}")
set(count 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-fA-F]+ ([A-Za-z]) (.+)$")
    set(name "${CMAKE_MATCH_2}")
    if(CMAKE_MATCH_1 STREQUAL "A")
      continue() # version-script node names
    endif()
    if(NOT name MATCHES "^zrq7010_[a-z_]+$")
      message(FATAL_ERROR "unexpected exported symbol: ${name}")
    endif()
    math(EXPR count "${count} + 1")
  endif()
endforeach()
if(NOT count EQUAL 44)
  message(FATAL_ERROR "expected 44 exported functions, found ${count}")
endif()
