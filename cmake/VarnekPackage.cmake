# The Windows package (cpack, ZIP): the three programs, a short text on using
# them, the licence, the notices of the toolchain's runtime parts linked into
# the programs, and collect.cmd. Named for the version, the architecture and
# the toolchain: varnek-1.0.0-windows-x86_64-mingw-gcc.zip.
# VARNEK_BUILD, VARNEK_BUILD_DESCRIPTION and VARNEK_OLDEST_WINDOWS come from platform/win32.cmake.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(staging ${CMAKE_BINARY_DIR}/package-files)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/README.txt.in ${staging}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/collect.cmd.in ${staging}/collect.cmd @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${staging}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)

set(notices ${staging}/THIRD-PARTY-NOTICES.txt)
if(MSVC)
  set(notices_command msvc)
else()
  # Debian's copyright files of the MinGW-w64 runtime and of GCC's runtime library.
  find_file(VARNEK_MINGW_COPYRIGHT copyright PATHS /usr/share/doc/mingw-w64-common NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  find_file(VARNEK_GCC_COPYRIGHT copyright PATHS /usr/share/doc/gcc-mingw-w64-base NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT VARNEK_MINGW_COPYRIGHT OR NOT VARNEK_GCC_COPYRIGHT)
    message(WARNING "The MinGW-w64 runtime's notices were not found (Debian's copyright files of "
                    "mingw-w64-common and gcc-mingw-w64-base): the package will say so instead. "
                    "Set VARNEK_MINGW_COPYRIGHT and VARNEK_GCC_COPYRIGHT to them.")
    set(VARNEK_MINGW_COPYRIGHT missing)
    set(VARNEK_GCC_COPYRIGHT missing)
  endif()
  set(notices_command mingw ${VARNEK_MINGW_COPYRIGHT} ${VARNEK_GCC_COPYRIGHT})
endif()
add_custom_command(OUTPUT ${notices}
                   COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/packaging/windows/notices.py
                           ${notices} ${notices_command}
                   DEPENDS ${CMAKE_SOURCE_DIR}/packaging/windows/notices.py)
add_custom_target(windows-notices ALL DEPENDS ${notices})

install(TARGETS varnek1 varnek2 varnek2w RUNTIME DESTINATION .)
install(FILES ${staging}/README.txt ${staging}/collect.cmd ${staging}/LICENSE.txt ${notices} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME varnek)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the varnek developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_FILE_NAME varnek-${PROJECT_VERSION}-windows-${VARNEK_BUILD})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)  # symbols off: a fifth of the size
include(CPack)
