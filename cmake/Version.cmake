# gyro_version: the header ProgramVersion.h with the project's version, for
# --version and the About box. One version for the programs and the package.
# The id of the desktop entry, the icon and the AppStream metainfo (packaging/).
set(GYRO_APP_ID com.korvex.gyroeval)
configure_file(${CMAKE_CURRENT_LIST_DIR}/ProgramVersion.h.in ${CMAKE_BINARY_DIR}/generated/ProgramVersion.h @ONLY)
add_library(gyro_version INTERFACE)
target_include_directories(gyro_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
