# kaslo_testing: the recording message service and progress port that core
# and window tests install instead of the real boxes.
add_library(kaslo_testing STATIC ${CMAKE_CURRENT_LIST_DIR}/scripted_messages.cpp)
target_link_libraries(kaslo_testing PUBLIC kaslo_common)
