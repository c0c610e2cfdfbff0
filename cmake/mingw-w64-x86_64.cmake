# Cross-compiling for 64-bit Windows with MinGW-w64, posix threads flavour
# (the win32 flavour lacks std::mutex, which GoogleTest needs).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
