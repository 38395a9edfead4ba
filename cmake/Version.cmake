# gyro_version: the header ProgramVersion.h with the project's version, for
# --version and the About box. One version for the programs and the package.
configure_file(${CMAKE_CURRENT_LIST_DIR}/ProgramVersion.h.in ${CMAKE_BINARY_DIR}/generated/ProgramVersion.h @ONLY)
add_library(gyro_version INTERFACE)
target_include_directories(gyro_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
