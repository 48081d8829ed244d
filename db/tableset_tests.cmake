# Tests of the table set and the installation, on real tables in temporary
# data directories.
kaslo_add_gtest(db_tableset_test
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/schema_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/install_test.cpp
  LIBS kaslo_db
)
