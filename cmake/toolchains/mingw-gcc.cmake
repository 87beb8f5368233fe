# 64-bit Windows (x86-64) with MinGW-w64 GCC, POSIX threads flavour.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VARNEK_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
set(CMAKE_CXX_COMPILER ${VARNEK_MINGW_TRIPLE}-g++-posix)
