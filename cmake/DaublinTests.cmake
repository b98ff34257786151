# daublin_add_tests(<module> SOURCES <files...> LIBS <targets...>)
# LIBS names the module and the test support of its own layer
# (testsupport_<layer>).
# One GoogleTest binary per module, every case registered on its own with
# CTest so that a hanging case fails by its own timeout.
function(daublin_add_tests module)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  set(target ${module}_tests)
  add_executable(${target} ${ARG_SOURCES})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${target}
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${module} TIMEOUT 120)
endfunction()

# daublin_add_x11_test(NAME <name> COMMAND <command...>
#                      [SCREEN <width>x<height>x<depth>] [LABELS <labels...>]
#                      [TIMEOUT <seconds>])
# A test that needs an X display. It runs on an Xvfb server of its own,
# started by testsupport/x11-run.sh: the server picks a free display
# number itself and reports it when it accepts clients (Xvfb -displayfd), so
# such tests run side by side under `ctest -j`, and beside other build trees'
# runs, without sharing a display or racing for a number. Labelled x11.
# SCREEN defaults to 1280x1024x24, TIMEOUT to 60 s. These runs are the
# longest tests by far, so each costs its timeout: a run without timings of
# an earlier one (a fresh clone) starts them first, not last, where the
# longest would run on alone after everything else.
set(DAUBLIN_X11_RUN ${PROJECT_SOURCE_DIR}/testsupport/x11-run.sh)

function(daublin_add_x11_test)
  cmake_parse_arguments(ARG "" "NAME;SCREEN;TIMEOUT" "COMMAND;LABELS" ${ARGN})
  if(NOT ARG_NAME OR NOT ARG_COMMAND)
    message(FATAL_ERROR "daublin_add_x11_test needs NAME and COMMAND")
  endif()
  if(NOT ARG_SCREEN)
    set(ARG_SCREEN 1280x1024x24)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 60)
  endif()
  add_test(NAME ${ARG_NAME} COMMAND bash ${DAUBLIN_X11_RUN} ${ARG_SCREEN} ${ARG_COMMAND})
  set_tests_properties(${ARG_NAME} PROPERTIES LABELS "x11;${ARG_LABELS}" TIMEOUT ${ARG_TIMEOUT}
                                                COST ${ARG_TIMEOUT})
endfunction()
