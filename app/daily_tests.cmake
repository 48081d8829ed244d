# Tests of the daily SINTEGRA files, against installed data directories.
kaslo_add_gtest(app_daily_sintegra_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/daily_sintegra_test.cpp
  LIBS kaslo_app kaslo_comm kaslo_db kaslo_common
)
