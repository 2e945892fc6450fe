# Tests of the FIR filtering, FIR design and resampling entry points.
# Included from this folder's CMakeLists.txt; zrdsp_test_support brings the
# library, GoogleTest's main, test_util.h and the library's no-contraction
# rule for floating-point arithmetic.

# Literal reference implementation that the library must match bit for bit.
add_library(zrdsp_fir_resample_reference STATIC fir_resample_reference.cpp)
target_link_libraries(zrdsp_fir_resample_reference PUBLIC zrdsp_32)
target_compile_options(zrdsp_fir_resample_reference PRIVATE -ffp-contract=off -fno-tree-slp-vectorize)
target_include_directories(zrdsp_fir_resample_reference PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

add_executable(zrdsp_fir_resample_test fir_resample_test.cpp)
target_link_libraries(zrdsp_fir_resample_test PRIVATE zrdsp_test_support)
gtest_discover_tests(zrdsp_fir_resample_test)

add_executable(zrdsp_fir_resample_bitexact_test fir_resample_bitexact_test.cpp)
target_link_libraries(zrdsp_fir_resample_bitexact_test PRIVATE zrdsp_test_support
                                                               zrdsp_fir_resample_reference)
gtest_discover_tests(zrdsp_fir_resample_bitexact_test)

# The first resampler use of this process is two threads racing to build
# the kernel table, so it gets a process of its own.
find_package(Threads REQUIRED)
add_executable(zrdsp_resample_race_test resample_race_test.cpp)
target_link_libraries(zrdsp_resample_race_test PRIVATE zrdsp_test_support
                                                       zrdsp_fir_resample_reference Threads::Threads)
gtest_discover_tests(zrdsp_resample_race_test)

# Optional: the same race under ThreadSanitizer, with the resampler source
# compiled into the test itself (ThreadSanitizer cannot be combined with the
# address sanitizer of ZR_SANITIZE).
option(ZR_RESAMPLE_TSAN "Build the resampler race test under ThreadSanitizer" OFF)
if(ZR_RESAMPLE_TSAN AND NOT ZR_SANITIZE)
  add_executable(zrdsp_resample_race_tsan_test resample_race_test.cpp
                                               ${CMAKE_CURRENT_SOURCE_DIR}/../src/resample.cpp)
  target_include_directories(zrdsp_resample_race_tsan_test PRIVATE
                             ${CMAKE_CURRENT_SOURCE_DIR}/../include ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(zrdsp_resample_race_tsan_test PRIVATE ZRDSP_RACE_NO_REFERENCE)
  target_compile_options(zrdsp_resample_race_tsan_test PRIVATE -fsanitize=thread -ffp-contract=off)
  target_link_options(zrdsp_resample_race_tsan_test PRIVATE -fsanitize=thread)
  target_link_libraries(zrdsp_resample_race_tsan_test PRIVATE GTest::gtest GTest::gtest_main
                                                             Threads::Threads)
  gtest_discover_tests(zrdsp_resample_race_tsan_test)
endif()

# Work memory refused by the heap (replaces the array allocation functions,
# so it runs as a program of its own).
add_executable(zrdsp_fir_alloc_test fir_alloc_test.cpp)
target_link_libraries(zrdsp_fir_alloc_test PRIVATE zrdsp_test_support)
gtest_discover_tests(zrdsp_fir_alloc_test)
