# 64-bit Windows (x86-64) with clang and lld, on the MinGW-w64 SDK and the
# MinGW-w64 GCC runtime and C++ headers (clang does not find a runtime
# directory named like 12-posix by itself).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VARNEK_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
set(CMAKE_CXX_COMPILER clang++)

# The MinGW-w64 GCC runtime directory, e.g. /usr/lib/gcc/x86_64-w64-mingw32/12-posix.
file(GLOB gcc_dirs LIST_DIRECTORIES true /usr/lib/gcc/${VARNEK_MINGW_TRIPLE}/*-posix)
list(SORT gcc_dirs COMPARE NATURAL ORDER DESCENDING)
list(GET gcc_dirs 0 VARNEK_MINGW_GCC_DIR)
set(CMAKE_CXX_COMPILER_TARGET x86_64-w64-windows-gnu)
set(CMAKE_CXX_FLAGS_INIT
    "-isystem ${VARNEK_MINGW_GCC_DIR}/include/c++ -isystem ${VARNEK_MINGW_GCC_DIR}/include/c++/${VARNEK_MINGW_TRIPLE}")
# That runtime is GCC's POSIX-threads flavour: what of it needs threads (TLS
# emulation, guarded statics) calls winpthreads, which GCC's driver adds by
# itself and clang's does not. lld takes it whatever its place on the line,
# and links in only what is called.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-fuse-ld=lld -L${VARNEK_MINGW_GCC_DIR} -L/usr/${VARNEK_MINGW_TRIPLE}/lib -lpthread")
