# The table set (db/tables/, schema.cpp), the installation of a data
# directory, its check against the set, and the table dump.
list(APPEND KASLO_DB_TABLESET_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/schema.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/install.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tableset_check.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/table_dump.cpp
)
