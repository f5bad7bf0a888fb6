# Cross-builds the Windows executable (64-bit) with Debian's MinGW-w64
# compilers: apt-get install g++-mingw-w64-x86-64-posix
#
#   cmake --preset mingw && cmake --build --preset mingw
#
# The posix-threads variant is taken when it is installed, the win32-threads
# variant otherwise. The game needs the posix one with GCC before 13: the
# console's stop handler runs on a thread of the system's, and the console
# changes are kept in order with std::mutex, which the win32 one lacks there.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)

find_program(MINGW_CXX NAMES ${MINGW_TRIPLET}-g++-posix ${MINGW_TRIPLET}-g++)
find_program(MINGW_CC NAMES ${MINGW_TRIPLET}-gcc-posix ${MINGW_TRIPLET}-gcc)
if(NOT MINGW_CXX OR NOT MINGW_CC)
  message(FATAL_ERROR "MinGW-w64 compilers not found: apt-get install g++-mingw-w64-x86-64-posix")
endif()
find_program(MINGW_RC NAMES ${MINGW_TRIPLET}-windres)

set(CMAKE_CXX_COMPILER ${MINGW_CXX})
set(CMAKE_C_COMPILER ${MINGW_CC})
if(MINGW_RC)
  set(CMAKE_RC_COMPILER ${MINGW_RC})
endif()

# Headers and libraries come from the MinGW sysroot only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
