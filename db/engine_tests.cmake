# Tests of the table engine.
kaslo_add_gtest(db_engine_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/table_test.cpp
  LIBS kaslo_db)

# Other dBase readers and writers against the engine (Perl XBase,
# python3-dbf) and the dBase IV samples in shared/formats/samples.
kaslo_add_gtest(db_interop_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/interop_test.cpp
  LIBS kaslo_db)

# Table and record locks between two processes.
kaslo_add_gtest(db_lock_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/lock_test.cpp
  LIBS kaslo_db)
