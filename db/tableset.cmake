# The table set (db/tables/, schema.cpp) and the installation of a data
# directory.
list(APPEND KASLO_DB_TABLESET_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/schema.cpp
)
