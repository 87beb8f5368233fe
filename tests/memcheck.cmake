# Every native probe under valgrind memcheck, its whole report to a file and to
# a pipe (label memcheck). Left out where there is no valgrind; in builds that
# a sanitizer instruments, since the two do not run together; and in builds
# without debug information, where the function that the suppression names is
# inlined out of sight.
find_program(VARNEK_VALGRIND valgrind)
if(VARNEK_VALGRIND AND NOT WIN32 AND NOT CMAKE_CROSSCOMPILING
   AND CMAKE_BUILD_TYPE MATCHES "^(Debug|RelWithDebInfo)$"
   AND NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
  foreach(probe varnek1 varnek2 varnek2w)
    add_test(NAME ${probe}.memcheck
             COMMAND Python3::Interpreter ${VARNEK_TESTS}/memcheck.py ${VARNEK_VALGRIND}
                     ${VARNEK_TESTS}/memcheck.supp ${VARNEK_TESTS}/expected/${probe}-standin.txt
                     -- $<TARGET_FILE:${probe}>)
    set_tests_properties(${probe}.memcheck PROPERTIES LABELS memcheck)
  endforeach()
endif()
