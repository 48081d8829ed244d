# Start-up (data directory, table upgrade, index check) and the maintenance
# commands (reindex, stock conversion).
list(APPEND KASLO_APP_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/startup.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/maintenance.cpp
)
