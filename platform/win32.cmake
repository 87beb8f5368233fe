# Windows builds (included from platform/CMakeLists.txt): the platform's own GDI
# and kernel libraries, the C runtime's standard output, and the guard that the
# compiler can build. Each program links statically, so that it imports from
# GDI32.dll, KERNEL32.dll and the C runtime's DLL (MinGW: msvcrt.dll) only,
# runs when copied alone onto a clean machine, and carries a version resource.

# __try/__except where the compiler has it (MSVC; clang for x86-64, whose
# 32-bit __try does not assemble in clang 14); a top-level exception filter
# elsewhere (GCC).
if(MSVC OR (CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND CMAKE_SIZEOF_VOID_P EQUAL 8))
  set(guard guard-win32-seh.cc)
  if(NOT MSVC)
    set_source_files_properties(guard-win32-seh.cc PROPERTIES COMPILE_OPTIONS -fms-extensions)
  endif()
else()
  set(guard guard-win32-gcc.cc)
endif()

# MSVC: the static C runtime (/MT), for every program of the build; the
# toolset's own subsystem version.
set(VARNEK_SUBSYSTEM_VERSION 6.0 PARENT_SCOPE)
set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
set(CMAKE_MSVC_RUNTIME_LIBRARY ${CMAKE_MSVC_RUNTIME_LIBRARY} PARENT_SCOPE)

add_library(varnek_runtime STATIC ${guard} report-win32.cc)

# The oldest Windows each build runs on: XP (5.1) for 32-bit x86, XP x64 and
# Server 2003 (5.2) for x86-64 with MinGW; MSVC's toolset sets its own floor.
if(NOT MSVC)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(windows_version 5 2 0x0502)
  else()
    set(windows_version 5 1 0x0501)
  endif()
  list(GET windows_version 0 major)
  list(GET windows_version 1 minor)
  list(GET windows_version 2 target)
  set(VARNEK_SUBSYSTEM_VERSION ${major}.${minor} PARENT_SCOPE)
  target_compile_definitions(varnek_runtime PUBLIC _WIN32_WINNT=${target} WINVER=${target})
  target_link_options(varnek_runtime INTERFACE -static
                      LINKER:--major-subsystem-version,${major} LINKER:--minor-subsystem-version,${minor}
                      LINKER:--major-os-version,${major} LINKER:--minor-os-version,${minor})
endif()
configure_file(version.rc.in ${CMAKE_CURRENT_BINARY_DIR}/version.rc @ONLY)
target_sources(varnek_runtime INTERFACE ${CMAKE_CURRENT_BINARY_DIR}/version.rc)

add_library(varnek_windows_gdi INTERFACE)
target_link_libraries(varnek_windows_gdi INTERFACE gdi32)
set(VARNEK_GDI varnek_windows_gdi PARENT_SCOPE)

if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
  include(VarnekWine)
endif()
