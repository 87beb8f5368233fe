# Shared by the MinGW-w64 toolchain files: cross-building for Windows on a
# Debian host, with the SDK headers and import libraries of mingw-w64-*-dev
# under /usr/${VARNEK_MINGW_TRIPLE}. The including file sets VARNEK_MINGW_TRIPLE
# and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_RC_COMPILER ${VARNEK_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VARNEK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

