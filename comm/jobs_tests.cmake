# kaslo_comm reads RURUDOR.INI through inih; and the tests of the load
# files, the job preparation and runner, and the jobs served end to end.
target_link_libraries(kaslo_comm PUBLIC PkgConfig::KASLO_INIREADER)
kaslo_add_gtest(comm_jobs_test
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/load_files_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/jobs_test.cpp
  LIBS kaslo_comm kaslo_testing)
# Every job kind served to kaslo-terminal over loopback.
kaslo_add_gtest(comm_job_e2e_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/job_e2e_test.cpp
  LIBS kaslo_comm kaslo_testing)
add_dependencies(comm_job_e2e_test kaslo-terminal)
