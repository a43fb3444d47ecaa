# Cross-build for 64-bit Windows with the mingw-w64 tool chain (the "posix" thread model, whose
# C++ runtime links statically into each program). Use with
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# Programs built this way run on Windows and under wine; TRAZON_WINE names the wine used to run
# the tests (CMAKE_CROSSCOMPILING_EMULATOR).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TRAZON_MINGW_PREFIX x86_64-w64-mingw32 CACHE STRING "Prefix of the mingw-w64 tools")
set(CMAKE_C_COMPILER ${TRAZON_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRAZON_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TRAZON_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TRAZON_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime's C99 formatted input and output (numbers read and written as glibc does them, so
# that files come out the same on both systems); windows.h without the min and max macros.
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1 -DNOMINMAX -DWIN32_LEAN_AND_MEAN")

# Self-contained programs: no runtime DLL besides the system's own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(TRAZON_WINE NAMES wine wine64)
if(TRAZON_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TRAZON_WINE})
endif()
