# Project code is built with these warnings; CI turns them into errors with
# -DCMAKE_COMPILE_WARNING_AS_ERROR=ON, so that a newer compiler never breaks a user's build.
# Qt's own headers come in as system headers.
function(nerina_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()

# One QtTest executable per unit, run headless. LABELS: unit (rules, no window), window
# (widgets driven by QTest), slow (processes killed, files of a lifetime); a developer
# runs the fast part alone with `ctest -L unit`.
function(nerina_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  nerina_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8"
    LABELS "${ARG_LABELS}"
    TIMEOUT 300)
endfunction()
