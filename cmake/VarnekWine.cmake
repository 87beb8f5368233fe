# Running the Windows programs of a cross build under Wine: a wrapper script,
# build/PRESET/wine/run, becomes the cross-compiling emulator. It gives the
# build tree its own Wine prefix (32-bit programs need a 32-bit one), created
# here once, up front, so that tests started in parallel never race to create
# it and no run prints Wine's first-start messages.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(loader wine64)
  set(wine_arch win64)
else()
  set(loader wine)
  set(wine_arch win32)
endif()
find_program(VARNEK_WINE ${loader} PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(VARNEK_WINE ${loader})
find_program(VARNEK_WINESERVER wineserver PATHS /usr/lib/wine)
if(NOT VARNEK_WINE OR NOT VARNEK_WINESERVER)
  message(STATUS "Wine (${loader}) not found: the Windows programs build but are not run")
  return()
endif()

set(VARNEK_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine/prefix)
set(wine_run ${CMAKE_BINARY_DIR}/wine/run)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${wine_run}
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE
               @ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${wine_run} CACHE FILEPATH "Runs the Windows programs")
set(VARNEK_PLATFORM_TITLE "Wine's GDI" PARENT_SCOPE)  # run-probes' titles

set(stamp ${CMAKE_BINARY_DIR}/wine/prefix.done)
if(NOT EXISTS ${stamp})
  message(STATUS "Creating the Wine prefix ${VARNEK_WINE_PREFIX} (${wine_arch})")
  file(REMOVE_RECURSE ${VARNEK_WINE_PREFIX})
  execute_process(COMMAND ${CMAKE_COMMAND} -E env WINEARCH=${wine_arch} ${wine_run} wineboot -i
                  RESULT_VARIABLE boot_result OUTPUT_QUIET ERROR_QUIET)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env WINEPREFIX=${VARNEK_WINE_PREFIX}
                          ${VARNEK_WINESERVER} -w)
  if(NOT boot_result EQUAL 0)
    message(FATAL_ERROR "wineboot failed (${boot_result}) in ${VARNEK_WINE_PREFIX}")
  endif()
  file(TOUCH ${stamp})
endif()
