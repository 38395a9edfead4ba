# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 compilers (posix
# threads, which std::thread and Qt need). Programs and build tools come from the
# host; libraries, headers and CMake packages only from the Windows prefixes.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GYRO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${GYRO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GYRO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${GYRO_MINGW_TRIPLET}-windres)

# The toolchain's prefix plus whatever the caller adds (the cached Qt, libusb,
# FFTW and GoogleTest) through CMAKE_PREFIX_PATH or GYRO_WIN_PREFIX.
set(CMAKE_FIND_ROOT_PATH /usr/${GYRO_MINGW_TRIPLET})
if(DEFINED ENV{GYRO_WIN_PREFIX})
  list(APPEND CMAKE_FIND_ROOT_PATH $ENV{GYRO_WIN_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must see the Windows libraries' .pc files, never the host's.
if(DEFINED ENV{GYRO_WIN_PREFIX})
  set(ENV{PKG_CONFIG_LIBDIR} "$ENV{GYRO_WIN_PREFIX}/lib/pkgconfig")
  set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
endif()
