# 64-bit Windows programs from Debian's MinGW-w64 cross compiler. The -posix
# variants carry std::thread and std::mutex (winpthreads).
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(SELVAREX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SELVAREX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SELVAREX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SELVAREX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SELVAREX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under wine when it is there; CTest prepends the emulator.
# wine64 itself, not the "wine" script: that one starts the 32-bit loader
# first, which a machine without 32-bit support cannot run.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(SELVAREX_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_CACHE)
  find_program(SELVAREX_WINE NAMES wine NO_CACHE)
  if(SELVAREX_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${SELVAREX_WINE64})
  elseif(SELVAREX_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${SELVAREX_WINE})
  endif()
endif()
