# Start-up and maintenance tests on real tables.
kaslo_add_gtest(app_shell_test
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/startup_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/maintenance_test.cpp
  LIBS kaslo_app kaslo_testing)
