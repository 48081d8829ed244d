# The SINTEGRA file of a reading and the header and closing records shared
# with the daily files.
list(APPEND KASLO_COMM_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/sintegra_header.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/sintegra_reading.cpp
)
