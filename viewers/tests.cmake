# Tests of the register viewers' decoding and replacements.
kaslo_add_gtest(viewers_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/text_registers_test.cpp
  LIBS kaslo_viewers
)
