# qpb.exe's sheets and wizards driven under Wine and Xvfb: every page changes one value, the
# saved project dumps like the model with the same changes; kits built through the wizards.
qp_test(qpb_sheets_gui_test WINDOWS_ONLY DISPLAY TIMEOUT 900
  SOURCES qpb_sheets_gui_test.cpp remote.cpp ${CMAKE_SOURCE_DIR}/tests/e2e/gui_driver.cpp ${CMAKE_SOURCE_DIR}/tests/cli/run_process.cpp
  LIBS qp_sheetlogic qp_model qp_common)
add_dependencies(qpb_sheets_gui_test qpb qpbc)
target_include_directories(qpb_sheets_gui_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_SOURCE_DIR}/tests/cli)
target_compile_definitions(qpb_sheets_gui_test PRIVATE
  QP_QPB_EXE="Z:$<TARGET_FILE:qpb>"
  QP_QPBC_EXE="Z:$<TARGET_FILE:qpbc>"
  QP_EXAMPLE_DIR="Z:${CMAKE_SOURCE_DIR}/examples/notepadish"
  QP_WORK_DIR="Z:${CMAKE_BINARY_DIR}/qpb-sheets-work"
  QP_SHOTS_DIR="Z:${CMAKE_BINARY_DIR}/qpb-shots")
target_link_libraries(qpb_sheets_gui_test PRIVATE comctl32 shell32 ole32 gdi32 user32 advapi32)
