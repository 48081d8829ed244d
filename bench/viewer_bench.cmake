# kaslo-viewer-bench: the product register's display and replacement at
# store scale (see bench/README.md).
if(TARGET kaslo_viewers)
  add_executable(kaslo-viewer-bench ${CMAKE_CURRENT_LIST_DIR}/viewer_bench.cpp)
  target_link_libraries(kaslo-viewer-bench PRIVATE kaslo_viewers)
endif()
