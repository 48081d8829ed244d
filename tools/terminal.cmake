# kaslo-terminal, the simulated cash-register terminal.
add_executable(kaslo-terminal
  ${CMAKE_CURRENT_SOURCE_DIR}/kaslo_terminal.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/terminal_sim.cpp
)
target_link_libraries(kaslo-terminal PRIVATE kaslo_comm Threads::Threads)
