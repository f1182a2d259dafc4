# -posix variants: the "win32" thread model of GCC 12 lacks std::thread/std::mutex, which GoogleTest needs.
set(CMAKE_C_COMPILER   ${LOCKLEAF_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LOCKLEAF_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${LOCKLEAF_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LOCKLEAF_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Hardening stated here, not left to the toolchain's defaults: stack canaries, checked memory and string calls,
# a relocatable image with a non-executable stack and heap. GCC 12's MinGW needs libssp for both.
set(LOCKLEAF_HARDENING "-fstack-protector-strong -D_FORTIFY_SOURCE=2")
set(CMAKE_C_FLAGS_INIT "${LOCKLEAF_HARDENING}")
set(CMAKE_CXX_FLAGS_INIT "${LOCKLEAF_HARDENING}")
# No MinGW runtime DLLs beside the exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -fstack-protector-strong -Wl,--dynamicbase,--nxcompat ${LOCKLEAF_LINK_HARDENING}")
set(CMAKE_CXX_STANDARD_LIBRARIES_INIT "-lssp")
# A release exe carries no symbol table.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
if(DEFINED ENV{LOCKLEAF_WINE})
  set(CMAKE_CROSSCOMPILING_EMULATOR $ENV{LOCKLEAF_WINE})
endif()
