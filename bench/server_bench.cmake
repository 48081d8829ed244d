# kaslo-server-bench: the communication server under twenty simulated
# terminals at once (see bench/README.md). Runs kaslo-terminal from the
# same build.
if(TARGET kaslo_comm AND TARGET kaslo-terminal)
  add_executable(kaslo-server-bench ${CMAKE_CURRENT_LIST_DIR}/server_bench.cpp)
  target_link_libraries(kaslo-server-bench PRIVATE kaslo_comm kaslo_common Threads::Threads)
  add_dependencies(kaslo-server-bench kaslo-terminal)
  target_compile_definitions(kaslo-server-bench PRIVATE KASLO_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
endif()
