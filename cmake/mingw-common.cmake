# -posix variants: the "win32" thread model of GCC 12 lacks std::thread/std::mutex, which GoogleTest needs.
set(CMAKE_C_COMPILER   ${LOCKLEAF_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LOCKLEAF_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${LOCKLEAF_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LOCKLEAF_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The hardening and link flags are CMakeLists.txt's: flags set here would only seed a new cache.
if(DEFINED ENV{LOCKLEAF_WINE})
  set(CMAKE_CROSSCOMPILING_EMULATOR $ENV{LOCKLEAF_WINE})
endif()
