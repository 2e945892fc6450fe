# Installs the library into a fresh prefix, builds the examples against it
# (one through find_package, the same sources once more through pkg-config)
# together with the worked example of the header's opening comment, and
# checks what each prints.
# Variables: BUILD_DIR, WORK_DIR, LIBDIR, EXAMPLES_DIR, C_COMPILER, SANITIZE.
cmake_minimum_required(VERSION 3.25)

function(run what out_var)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

# Each line of `expected` is a regular expression that must match a line printed.
function(expect example output)
  foreach(line ${ARGN})
    if(NOT output MATCHES "${line}")
      message(FATAL_ERROR "${example}: no line matching '${line}' in:\n${output}")
    endif()
  endforeach()
  message(STATUS "${example}:\n${output}")
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
foreach(component zrdsp zrdsp_dev)
  run("install ${component}" ignored ${CMAKE_COMMAND} --install ${BUILD_DIR} --component ${component}
      --prefix ${prefix})
endforeach()

set(flags "")
if(SANITIZE)
  set(flags -fsanitize=address,undefined)
endif()
string(REPLACE ";" " " flags_str "${flags}")
run("configure" ignored ${CMAKE_COMMAND} -S ${EXAMPLES_DIR} -B ${WORK_DIR}/build -G Ninja
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_C_COMPILER=${C_COMPILER}
    "-DCMAKE_C_FLAGS=${flags_str}" "-DCMAKE_EXE_LINKER_FLAGS=${flags_str}")
run("build" ignored ${CMAKE_COMMAND} --build ${WORK_DIR}/build)

# pkg-config gives the same program: build the tone example that way too.
set(ENV{PKG_CONFIG_PATH} ${prefix}/${LIBDIR}/pkgconfig)
run("pkg-config" pc_flags pkg-config --cflags --libs zrdsp_32)
string(STRIP "${pc_flags}" pc_flags)
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
run("pkg-config build" ignored ${C_COMPILER} -std=c11 -Wall -Wextra -Werror ${flags}
    ${EXAMPLES_DIR}/tone_spectrum.c ${pc_flags} -lm -o ${WORK_DIR}/tone_spectrum_pc)

# The examples run with the installed library only (the build tree's is not
# on any path they know; LD_LIBRARY_PATH names the prefix).
set(ENV{LD_LIBRARY_PATH} ${prefix}/${LIBDIR})
set(tone_lines
  "libzrdsp_32 [0-9]+\\.[0-9]+\\.[0-9]+"
  "uniform   window: peak on line 64 \\(1280000 Hz\\) at 10\\.00 dBm"
  "Hann      window: peak on line 64 \\(1280000 Hz\\) at 10\\.00 dBm"
  "Gauss top window: peak on line 64 \\(1280000 Hz\\) at 10\\.00 dBm"
  "flat top  window: peak on line 64 \\(1280000 Hz\\) at 10\\.00 dBm")
run("tone_spectrum" out ${WORK_DIR}/build/tone_spectrum)
expect(tone_spectrum "${out}" ${tone_lines})
run("tone_spectrum (pkg-config)" out ${WORK_DIR}/tone_spectrum_pc)
expect("tone_spectrum (pkg-config)" "${out}" ${tone_lines})

# The worked example in the installed header's opening comment compiles and
# prints what the comment says.
file(READ ${prefix}/include/zrdsp_32.h header)
string(REGEX MATCH "Worked example:[^\n]*\n(.*)\n \\*/" ignored "${header}")
# Code lines are indented by four blanks after " * "; the prose is dropped.
string(REGEX REPLACE "\n \\*     " "\n" code "\n${CMAKE_MATCH_1}")
string(REGEX REPLACE "\n \\*[^\n]*" "\n" code "${code}")
if(NOT code MATCHES "int main")
  message(FATAL_ERROR "no worked example found in the installed header")
endif()
file(WRITE ${WORK_DIR}/header_example.c "${code}")
run("header example build" ignored ${C_COMPILER} -std=c11 -Wall -Wextra -Werror ${flags}
    ${WORK_DIR}/header_example.c ${pc_flags} -lm -o ${WORK_DIR}/header_example)
run("header example" out ${WORK_DIR}/header_example)
expect("header example" "${out}" "^line 64: 10\\.00 dBm\n$")

# The pass-band tone keeps its level; the stop-band tone is at least 40 dB
# down, and the filtered samples show the design's own response.
run("lowpass" out ${WORK_DIR}/build/lowpass)
expect(lowpass "${out}" "tone 0\\.05: designed 0\\.0 dB, measured 0\\.0 dB")
if(NOT out MATCHES "tone 0\\.25: designed -([0-9]+)\\.([0-9]) dB, measured -([0-9]+)\\.([0-9]) dB"
   OR NOT CMAKE_MATCH_1 EQUAL CMAKE_MATCH_3 OR NOT CMAKE_MATCH_2 EQUAL CMAKE_MATCH_4
   OR CMAKE_MATCH_1 LESS 40)
  message(FATAL_ERROR "lowpass: stop band not 40 dB down as designed:\n${out}")
endif()

# Eight outputs per input up to 5.5 inputs before the block's end (the
# kernel's half width; 2005 outputs reach time 250.5), and the error against
# the sine is the kernel's droop, 1 - response, to the last printed digit.
run("resample8" out ${WORK_DIR}/build/resample8)
expect(resample8 "${out}" "256 inputs -> 2005 outputs, next output at input time 250\\.625")
if(NOT out MATCHES "response at 0\\.02 cycles per sample: 0\\.([0-9][0-9][0-9][0-9])")
  message(FATAL_ERROR "resample8: no kernel response:\n${out}")
endif()
set(response ${CMAKE_MATCH_1})
if(NOT out MATCHES "largest error against the sine over [0-9]+ outputs: 0\\.([0-9][0-9][0-9][0-9])")
  message(FATAL_ERROR "resample8: no error:\n${out}")
endif()
string(REGEX REPLACE "^0+" "" error "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^0+" "" response "${response}")
math(EXPR droop "10000 - ${response}")
math(EXPR difference "${droop} - ${error}")
if(difference GREATER 1 OR difference LESS -1 OR error GREATER 200)
  message(FATAL_ERROR "resample8: error 0.${CMAKE_MATCH_1} is not the kernel's droop:\n${out}")
endif()
