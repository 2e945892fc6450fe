# Runs the program with --snapshot: status 0, a PNG and the five read-out lines.
file(REMOVE "${OUT}")
execute_process(
  COMMAND "${PROGRAM}" "/a\"sim\"" --snapshot "${OUT}" --blocks 3
  RESULT_VARIABLE status
  OUTPUT_VARIABLE output
  ERROR_VARIABLE errors
  TIMEOUT 60)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "exit status ${status}: ${errors}")
endif()
if(NOT EXISTS "${OUT}")
  message(FATAL_ERROR "no picture written")
endif()
file(SIZE "${OUT}" size)
file(READ "${OUT}" signature LIMIT 8 HEX)
if(size LESS 1000 OR NOT signature STREQUAL "89504e470d0a1a0a")
  message(FATAL_ERROR "not a PNG picture (${size} bytes, ${signature})")
endif()
string(REGEX MATCHALL "\n" newlines "${output}")
list(LENGTH newlines lines)
if(NOT lines EQUAL 5)
  message(FATAL_ERROR "expected five read-out lines, got ${lines}:\n${output}")
endif()
string(REGEX MATCH "^Spectrum\nX:   Left=" start "${output}")
if(start STREQUAL "")
  message(FATAL_ERROR "read-out lines do not show the preset's spectrum axes:\n${output}")
endif()
file(REMOVE "${OUT}")
