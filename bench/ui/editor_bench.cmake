# kaslo-editor-bench: opening the product window on a store of 100,000 products.
if(TARGET kaslo_registers_ui)
  add_executable(kaslo-editor-bench ${CMAKE_CURRENT_LIST_DIR}/editor_bench.cpp)
  target_link_libraries(kaslo-editor-bench PRIVATE kaslo_registers_ui)
endif()
