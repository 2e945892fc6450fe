# Installs the library into a fresh prefix, then builds and runs a C consumer
# found through pkg-config and another found through find_package.
# Variables: BUILD_DIR, WORK_DIR, LIBDIR, CONSUMER_DIR, C_COMPILER, SANITIZE.
cmake_minimum_required(VERSION 3.25)

function(check_run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
  endif()
  message(STATUS "${what}: ok ${out}")
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
foreach(component zrdsp zrdsp_dev)
  check_run("install ${component}" ${CMAKE_COMMAND} --install ${BUILD_DIR} --component ${component} --prefix ${prefix})
endforeach()

foreach(f include/zrdsp_32.h include/zrdsp_32_version.h ${LIBDIR}/libzrdsp_32.so ${LIBDIR}/libzrdsp_32.so.1
          ${LIBDIR}/pkgconfig/zrdsp_32.pc ${LIBDIR}/cmake/zrdsp_32/zrdsp_32Config.cmake
          ${LIBDIR}/cmake/zrdsp_32/zrdsp_32ConfigVersion.cmake)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

set(extra_flags "")
if(SANITIZE)
  set(extra_flags -fsanitize=address,undefined)
endif()

# pkg-config
set(ENV{PKG_CONFIG_PATH} ${prefix}/${LIBDIR}/pkgconfig)
execute_process(COMMAND pkg-config --cflags --libs zrdsp_32
  RESULT_VARIABLE rc OUTPUT_VARIABLE pc_flags OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "pkg-config does not know zrdsp_32")
endif()
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
check_run("pkg-config build" ${C_COMPILER} -std=c11 -Wall -Wextra -Werror ${extra_flags}
  ${CONSUMER_DIR}/consumer.c ${pc_flags} -lm -o ${WORK_DIR}/pc_consumer)
set(ENV{LD_LIBRARY_PATH} ${prefix}/${LIBDIR})
check_run("pkg-config consumer" ${WORK_DIR}/pc_consumer)
unset(ENV{LD_LIBRARY_PATH})

# find_package
string(REPLACE ";" " " extra_flags_str "${extra_flags}")
check_run("find_package configure" ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/cmake_consumer
  -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_C_COMPILER=${C_COMPILER}
  "-DCMAKE_C_FLAGS=${extra_flags_str}" "-DCMAKE_EXE_LINKER_FLAGS=${extra_flags_str}")
check_run("find_package build" ${CMAKE_COMMAND} --build ${WORK_DIR}/cmake_consumer)
check_run("find_package consumer" ${WORK_DIR}/cmake_consumer/consumer)
