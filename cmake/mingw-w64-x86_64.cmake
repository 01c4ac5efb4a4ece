# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads), run under Wine.
# Usage: cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TALLYWICK_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${TALLYWICK_MINGW_PREFIX}-gcc-posix ${TALLYWICK_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TALLYWICK_MINGW_PREFIX}-g++-posix ${TALLYWICK_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TALLYWICK_MINGW_PREFIX}-windres windres)
find_program(CMAKE_AR NAMES ${TALLYWICK_MINGW_PREFIX}-ar)
find_program(CMAKE_RANLIB NAMES ${TALLYWICK_MINGW_PREFIX}-ranlib)

set(CMAKE_FIND_ROOT_PATH /usr/${TALLYWICK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in, so the programs run under Wine with no DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(TALLYWICK_WINE NAMES wine wine64)
if(TALLYWICK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TALLYWICK_WINE})
endif()

# The Win32 tests build GoogleTest from the distribution's source tree.
if(EXISTS /usr/src/googletest/CMakeLists.txt)
  set(TALLYWICK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree for the Win32 tests")
endif()
