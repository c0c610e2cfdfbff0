# Cross-compiling for 64-bit Windows with Clang and LLD: the second compiler of
# the same sources, over the same MinGW-w64 headers and libraries and GCC's C++
# library (posix threads flavour), so the result is linked like the GCC build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER clang)
set(CMAKE_C_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
# The MinGW-w64 tree as the root, so that no header or library of this Linux
# machine is ever taken instead.
set(CMAKE_SYSROOT /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Clang does not take Debian's GCC folder ("12-posix") for a version, so it
# finds neither the C++ headers nor the libraries there: name them. The posix
# flavour of the C++ library needs winpthread, which GCC's driver adds itself.
execute_process(COMMAND x86_64-w64-mingw32-g++-posix -print-libgcc-file-name
                OUTPUT_VARIABLE hl_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(hl_gcc_dir "${hl_libgcc}" DIRECTORY)
set(hl_cxx "${hl_gcc_dir}/include/c++")
set(CMAKE_CXX_FLAGS_INIT "-isystem ${hl_cxx} -isystem ${hl_cxx}/x86_64-w64-mingw32 -isystem ${hl_cxx}/backward")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -L${hl_gcc_dir} -lpthread")
