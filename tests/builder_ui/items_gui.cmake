# qpb.exe's item windows worked with real mouse clicks, key presses and context menus under Wine
# and Xvfb; the saved project compared with the same edits made on the model.
qp_test(qpb_items_gui_test WINDOWS_ONLY DISPLAY TIMEOUT 600
  SOURCES qpb_items_gui_test.cpp remote.cpp ${CMAKE_SOURCE_DIR}/tests/e2e/gui_driver.cpp ${CMAKE_SOURCE_DIR}/tests/cli/run_process.cpp
  LIBS qp_model qp_common)
add_dependencies(qpb_items_gui_test qpb qpbc)
target_include_directories(qpb_items_gui_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_SOURCE_DIR}/tests/cli)
target_compile_definitions(qpb_items_gui_test PRIVATE
  QP_QPB_EXE="Z:$<TARGET_FILE:qpb>"
  QP_QPBC_EXE="Z:$<TARGET_FILE:qpbc>"
  QP_EXAMPLE_DIR="Z:${CMAKE_SOURCE_DIR}/examples/notepadish"
  QP_WORK_DIR="Z:${CMAKE_BINARY_DIR}/qpb-items-work"
  QP_SHOTS_DIR="Z:${CMAKE_BINARY_DIR}/qpb-shots")
target_link_libraries(qpb_items_gui_test PRIVATE comctl32 shell32 ole32 gdi32 user32)
