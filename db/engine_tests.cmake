# Tests of the table engine.
kaslo_add_gtest(db_engine_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/table_test.cpp
  LIBS kaslo_db)
