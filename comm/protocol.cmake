# Frames, sockets, the server and its sessions, the terminal list and the
# LOG conversion.
list(APPEND KASLO_COMM_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/session_protocol.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/socket.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/terminal_list.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/session.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/server.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/log_conversion.cpp
)
