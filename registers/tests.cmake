# Tests of the editors' rules against real tables.
kaslo_add_gtest(registers_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/editor_rules_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/departments_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/products_test.cpp
  LIBS kaslo_registers kaslo_testing
)
