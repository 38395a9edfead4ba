# GYRO_SANITIZE: a comma-separated sanitizer list (for example "address,undefined")
# applied to every target of the build. Any report ends the program at once
# (no recovery), so a test that provokes one fails.
set(GYRO_SANITIZE "" CACHE STRING "Sanitizers for every target, e.g. address,undefined")
if(GYRO_SANITIZE)
  add_compile_options(-fsanitize=${GYRO_SANITIZE} -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${GYRO_SANITIZE})
endif()

# GYRO_BUILD_FUZZERS: libFuzzer targets under fuzz/ (clang only). Every library is
# then instrumented for coverage, so the fuzzers find their way into it.
option(GYRO_BUILD_FUZZERS "Build the libFuzzer targets (needs clang)" OFF)
if(GYRO_BUILD_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "GYRO_BUILD_FUZZERS needs clang (configure with CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
