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
