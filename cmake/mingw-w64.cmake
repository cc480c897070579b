# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (posix threads).
# The runtime (libgcc, libstdc++, winpthread) is linked in statically, so the
# .exe files run without any DLL beside them. Programs built here run under
# wine through cmake/wine-run.sh, for the tests and for the build steps that
# start a built program.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUELLMAR_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUELLMAR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUELLMAR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUELLMAR_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUELLMAR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No link time in the PE header, so that the same sources link to the same
# bytes. Release programs are stripped as they are linked: strip would write
# its own time into the header, and the zip and the installer ship them as built.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh")
