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

# The build's name (x86_64-mingw-gcc: the package's and collected reports'),
# and the oldest Windows it runs on, which its target and subsystem versions
# allow: XP (5.1) for 32-bit x86 and XP x64 / Server 2003 (5.2) for x86-64 with
# MinGW; Windows 7 SP1 with Visual Studio 2022's toolset, at its own subsystem
# version (6.0).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(architecture x86_64)
  set(windows 5.2 0x0502 "Windows XP x64 / Server 2003")
else()
  set(architecture x86)
  set(windows 5.1 0x0501 "Windows XP")
endif()
if(MSVC)
  set(toolchain msvc)
  set(description "Visual Studio (MSVC), static C runtime")
  set(windows 6.0 0x0601 "Windows 7 SP1")
elseif(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(toolchain mingw-clang)
  set(description "clang and lld on the MinGW-w64 runtime")
else()
  set(toolchain mingw-gcc)
  set(description "MinGW-w64 GCC")
endif()
list(GET windows 0 subsystem)
list(GET windows 1 target_version)
list(GET windows 2 oldest)
set(VARNEK_BUILD ${architecture}-${toolchain} PARENT_SCOPE)
set(VARNEK_BUILD_DESCRIPTION "${description}, ${architecture}" PARENT_SCOPE)
set(VARNEK_OLDEST_WINDOWS ${oldest} PARENT_SCOPE)
set(VARNEK_SUBSYSTEM_VERSION ${subsystem} PARENT_SCOPE)

# MSVC: the static C runtime (/MT), for every program of the build.
set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
set(CMAKE_MSVC_RUNTIME_LIBRARY ${CMAKE_MSVC_RUNTIME_LIBRARY} PARENT_SCOPE)

add_library(varnek_runtime STATIC ${guard} report-win32.cc)
target_compile_definitions(varnek_runtime PUBLIC _WIN32_WINNT=${target_version} WINVER=${target_version})
if(NOT MSVC)
  string(REPLACE "." ";" subsystem_parts ${subsystem})
  list(GET subsystem_parts 0 major)
  list(GET subsystem_parts 1 minor)
  target_link_options(varnek_runtime INTERFACE
                      LINKER:--major-subsystem-version,${major} LINKER:--minor-subsystem-version,${minor}
                      LINKER:--major-os-version,${major} LINKER:--minor-os-version,${minor})
  # Every program of a MinGW build, the probes and the tools and tests beside
  # them, links the runtime statically: nothing to install or find at run time.
  set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static" PARENT_SCOPE)
endif()

configure_file(version.rc.in ${CMAKE_CURRENT_BINARY_DIR}/version.rc @ONLY)
target_sources(varnek_runtime INTERFACE ${CMAKE_CURRENT_BINARY_DIR}/version.rc)

add_library(varnek_windows_gdi INTERFACE)
target_link_libraries(varnek_windows_gdi INTERFACE gdi32)
set(VARNEK_GDI varnek_windows_gdi PARENT_SCOPE)

if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
  include(VarnekWine)
endif()
