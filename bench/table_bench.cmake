# kaslo-bench: whole-process timings of the table engine over one table
# file (see bench/README.md). Built once the engine's sources are in.
if(EXISTS ${CMAKE_SOURCE_DIR}/db/engine.cmake)
  add_executable(kaslo-bench ${CMAKE_CURRENT_LIST_DIR}/kaslo_bench.cpp)
  target_link_libraries(kaslo-bench PRIVATE kaslo_db kaslo_common)
endif()
