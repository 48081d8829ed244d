# Load files, the job table and preparation, received file names and the
# job runner behind `kaslo serve` and the communication window.
list(APPEND KASLO_COMM_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/load_files.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/jobs.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/received_files.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/job_runner.cpp
)
# The INI option of the continuous LOG reading is read with inih
# (linked to kaslo_comm in jobs_tests.cmake, once the library exists).
find_package(PkgConfig REQUIRED)
pkg_check_modules(KASLO_INIREADER REQUIRED IMPORTED_TARGET GLOBAL INIReader)
