# Strict warnings, treated as errors, for every target of ours.
if(MSVC)
  add_compile_options(/W4 /WX /permissive-)
else()
  add_compile_options(-Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
                      -Wcast-qual -Wold-style-cast -Wundef -Wformat=2 -Werror)
endif()
