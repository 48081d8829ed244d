# The shared routines, linked into kaslo_common, and their tests.
target_sources(kaslo_common PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/numbers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dates.cpp
  ${CMAKE_CURRENT_LIST_DIR}/checkdigits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/files.cpp
)

kaslo_add_gtest(common_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/text_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/numbers_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dates_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/checkdigits_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/files_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/encoding_test.cpp
  LIBS kaslo_common
)
