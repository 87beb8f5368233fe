# varnek_add_probe(NAME SOURCE file GDI target [DEFINITIONS def...] [OUTPUT_NAME name])
# Builds one probe program from its source against a GDI implementation: the
# stand-in, a scripted test double, or the platform's own libraries. The guard
# and the report stream come from varnek_runtime.
function(varnek_add_probe name)
  cmake_parse_arguments(PARSE_ARGV 1 probe "" "SOURCE;GDI;OUTPUT_NAME" "DEFINITIONS")
  add_executable(${name} ${probe_SOURCE})
  target_link_libraries(${name} PRIVATE ${probe_GDI} varnek_runtime)
  if(probe_DEFINITIONS)
    target_compile_definitions(${name} PRIVATE ${probe_DEFINITIONS})
  endif()
  if(probe_OUTPUT_NAME)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${probe_OUTPUT_NAME})
  endif()
  set_property(GLOBAL APPEND PROPERTY VARNEK_PROBES ${name})
endfunction()
