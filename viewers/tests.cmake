# Tests of the register viewers' decoding and replacements.
kaslo_add_gtest(viewers_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/text_registers_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/client_register_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/product_register_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/register_viewer_test.cpp
  LIBS kaslo_viewers
)

# The product replacement ends with the index check and starts with the stock
# conversion of the start-up and maintenance code.
target_link_libraries(kaslo_viewers PUBLIC kaslo_app)
