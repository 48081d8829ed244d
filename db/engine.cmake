# The dBase table engine: DBF, DBT and MDX files, expressions, keys, locks.
list(APPEND KASLO_DB_ENGINE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/database.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dbf_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dbt_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/expression.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_lock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/keys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mdx_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/table_ops.cpp
)
