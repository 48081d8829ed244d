# The daily SINTEGRA files built from the terminals' LOG texts.
list(APPEND KASLO_APP_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/daily_sintegra.cpp
)
