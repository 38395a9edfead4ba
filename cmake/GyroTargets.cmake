# gyro_test(NAME SOURCES ... LIBS ...)
# One GoogleTest executable, run by CTest with the offscreen Qt platform so that
# widget tests need no display. Test ids come from gtest discovery.
include(GoogleTest)
function(gyro_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE gyro_test_support ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;GYRO_SCREENSHOT_DIR=${CMAKE_BINARY_DIR}/screenshots"
    DISCOVERY_TIMEOUT 60)
endfunction()

# gyro_bench(NAME SOURCES ... LIBS ...)
function(gyro_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE benchmark::benchmark ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
