# Test helpers shared by every folder.
#
#   kaslo_add_gtest(NAME SOURCES a_test.cpp ... LIBS kaslo_db ...)
#   kaslo_add_qtest(NAME SOURCES TFx_test.cpp ... LIBS kaslo_app_ui ...)
#
# Each test binary runs from its own folder of the build tree; tests make
# their data directories under a fresh temporary folder of their own.

function(kaslo_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  # Kill tests need the hooks of kaslo_kill_testing, left out of sanitized builds.
  if(KASLO_SANITIZE AND "kaslo_kill_testing" IN_LIST ARG_LIBS)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "KASLO_BIN_DIR=${CMAKE_BINARY_DIR}/bin;KASLO_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    TIMEOUT 900)
endfunction()

function(kaslo_add_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test Qt6::Widgets Threads::Threads)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;KASLO_BIN_DIR=${CMAKE_BINARY_DIR}/bin;KASLO_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    TIMEOUT 900)
endfunction()
