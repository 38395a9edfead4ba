# gyro_test(NAME [SCREENSHOTS] SOURCES ... LIBS ...)
# One GoogleTest executable, run by CTest with the offscreen Qt platform so that
# widget tests need no display. Test ids come from gtest discovery; in a cross
# build each executable is one CTest test instead, run through
# CMAKE_CROSSCOMPILING_EMULATOR (Wine), since discovery would start every program
# under the emulator at build time and one process per test case. SCREENSHOTS:
# its tests save the window pictures the user guide shows, so CTest runs them
# before the guide's check (fixture gyro_screenshots).
include(GoogleTest)
function(gyro_test name)
  cmake_parse_arguments(ARG "SCREENSHOTS" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE gyro_test_support ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set(environment "QT_QPA_PLATFORM=offscreen;GYRO_SCREENSHOT_DIR=${CMAKE_BINARY_DIR}/screenshots")
  set(fixture)
  if(ARG_SCREENSHOTS)
    set(fixture FIXTURES_SETUP gyro_screenshots)
  endif()
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:test-results/${name}.xml
             WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}" ${fixture})
  else()
    gtest_discover_tests(${name}
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
      PROPERTIES ENVIRONMENT "${environment}" ${fixture}
      DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# gyro_bench(NAME SOURCES ... LIBS ...)
function(gyro_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE benchmark::benchmark ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
