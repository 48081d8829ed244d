# Tests that run the built kaslo binary (found through KASLO_BIN_DIR).
kaslo_add_gtest(cli_db_commands_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/db_commands_test.cpp
  LIBS kaslo_db
)
add_dependencies(cli_db_commands_test kaslo)
# `kaslo serve` against kaslo-terminal over loopback.
kaslo_add_gtest(cli_serve_commands_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/serve_commands_test.cpp
  LIBS kaslo_comm kaslo_db
)
add_dependencies(cli_serve_commands_test kaslo kaslo-terminal)
