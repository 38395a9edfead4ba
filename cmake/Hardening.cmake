# The hardening Debian's own packages are built with (dpkg-buildflags): fortified
# C library calls and full RELRO (-z now). The compiler already gives PIE, the
# stack protector and partial RELRO. On for the optimised ELF builds, which the
# package is made from; the sanitized and fuzz builds and Windows go without.
option(GYRO_HARDENING "Fortify and full RELRO for the optimised builds" ON)
if(GYRO_HARDENING AND NOT GYRO_SANITIZE AND NOT GYRO_BUILD_FUZZERS AND NOT WIN32
   AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  # _FORTIFY_SOURCE needs optimisation; undefined first so that a compiler that
  # sets its own level gives no redefinition warning.
  add_compile_options("$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
