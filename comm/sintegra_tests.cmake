# Tests of the SINTEGRA file of a reading, against installed data directories.
kaslo_add_gtest(comm_sintegra_test
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/sintegra_reading_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/sintegra_check_test.cpp
  LIBS kaslo_comm kaslo_db kaslo_common
)
