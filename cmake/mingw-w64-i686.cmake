# Cross-compiling for 32-bit Windows with MinGW-w64, posix threads flavour.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
