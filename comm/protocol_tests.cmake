# Tests of the frames, the terminal list, the LOG conversion, the sessions,
# and the server served to kaslo-terminal over loopback.
kaslo_add_gtest(comm_protocol_test
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/session_protocol_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/terminal_list_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/log_conversion_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/session_test.cpp
  LIBS kaslo_comm)
kaslo_add_gtest(comm_server_e2e_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/server_e2e_test.cpp
  LIBS kaslo_comm)
# The terminal is defined later, in tools/; the dependency resolves then.
add_dependencies(comm_server_e2e_test kaslo-terminal)
