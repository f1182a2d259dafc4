# The same sources for 64-bit Windows: used to run the Windows test rings where only 64-bit Wine works.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LOCKLEAF_TRIPLE x86_64-w64-mingw32)
# The 64-bit image may be placed anywhere in its address space.
set(LOCKLEAF_LINK_HARDENING "-Wl,--high-entropy-va")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
