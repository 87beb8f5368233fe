# The run-probes target: runs every probe built here and prints its report
# under a one-line title. The probes themselves print nothing but the report.
get_property(probes GLOBAL PROPERTY VARNEK_PROBES)
set(run_commands)
list(FILTER probes EXCLUDE REGEX "^(double|test)-")
foreach(probe IN LISTS probes)
  list(APPEND run_commands
       COMMAND ${CMAKE_COMMAND} -E echo "== $<TARGET_FILE_NAME:${probe}> (${VARNEK_PLATFORM_TITLE}) =="
       COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${probe}>
       COMMAND ${CMAKE_COMMAND} -E echo "")
endforeach()
add_custom_target(run-probes ${run_commands} COMMENT "Running the probes" USES_TERMINAL VERBATIM)
add_dependencies(run-probes ${probes})
