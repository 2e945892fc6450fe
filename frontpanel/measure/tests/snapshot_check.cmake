# Runs the program with --snapshot in simulated mode: status 0, a PNG and the five read-out
# lines, led by the preset's spectrum axes.
file(REMOVE "${OUT}")
execute_process(COMMAND "${PROGRAM}" "/a\"sim\"" --snapshot "${OUT}" --blocks 3
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 60)
set(signature "none")
if(EXISTS "${OUT}")
  file(READ "${OUT}" signature LIMIT 8 HEX)
endif()
string(REGEX MATCHALL "\n" newlines "${output}")
list(LENGTH newlines lines)
if(NOT status EQUAL 0 OR NOT signature STREQUAL "89504e470d0a1a0a" OR NOT lines EQUAL 5
   OR NOT output MATCHES "^Spectrum\nX:   Left=")
  message(FATAL_ERROR "status ${status}, picture ${signature}, ${lines} lines:\n${output}${errors}")
endif()
file(REMOVE "${OUT}")
