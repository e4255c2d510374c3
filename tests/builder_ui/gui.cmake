# qpb.exe driven under Wine and Xvfb: the example project opened, edited through the windows,
# saved and compared with the same edits made on the model, then built from the menu.
qp_test(qpb_gui_test WINDOWS_ONLY DISPLAY TIMEOUT 600
  SOURCES qpb_gui_test.cpp remote.cpp ${CMAKE_SOURCE_DIR}/tests/e2e/gui_driver.cpp ${CMAKE_SOURCE_DIR}/tests/cli/run_process.cpp
  LIBS qp_model qp_common)
add_dependencies(qpb_gui_test qpb qpbc)
target_include_directories(qpb_gui_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_SOURCE_DIR}/tests/cli)
target_compile_definitions(qpb_gui_test PRIVATE
  QP_QPB_EXE="Z:$<TARGET_FILE:qpb>"
  QP_QPBC_EXE="Z:$<TARGET_FILE:qpbc>"
  QP_EXAMPLE_DIR="Z:${CMAKE_SOURCE_DIR}/examples/notepadish"
  QP_WORK_DIR="Z:${CMAKE_BINARY_DIR}/qpb-gui-work"
  QP_SHOTS_DIR="Z:${CMAKE_BINARY_DIR}/qpb-shots")
target_link_libraries(qpb_gui_test PRIVATE comctl32 shell32 ole32 gdi32 user32)

# The editors (registry values, shortcuts, string table, functions) driven under Wine, then a
# kit of the edited project installed.
qp_test(qpb_editors_gui_test WINDOWS_ONLY DISPLAY TIMEOUT 600
  SOURCES qpb_editors_gui_test.cpp remote.cpp ${CMAKE_SOURCE_DIR}/tests/e2e/gui_driver.cpp ${CMAKE_SOURCE_DIR}/tests/cli/run_process.cpp
  LIBS qp_model qp_common)
add_dependencies(qpb_editors_gui_test qpb qpbc setup)
target_include_directories(qpb_editors_gui_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_SOURCE_DIR}/tests/cli)
target_compile_definitions(qpb_editors_gui_test PRIVATE
  QP_QPB_EXE="Z:$<TARGET_FILE:qpb>"
  QP_QPBC_EXE="Z:$<TARGET_FILE:qpbc>"
  QP_SETUP_EXE="Z:$<TARGET_FILE:setup>"
  QP_EXAMPLE_DIR="Z:${CMAKE_SOURCE_DIR}/examples/notepadish"
  QP_WORK_DIR="Z:${CMAKE_BINARY_DIR}/qpb-editors-work"
  QP_SHOTS_DIR="Z:${CMAKE_BINARY_DIR}/qpb-shots")
target_link_libraries(qpb_editors_gui_test PRIVATE comctl32 shell32 ole32 uuid gdi32 user32)

# qpb.exe driven with real key presses, the menu bar and drops: edit keys in cells and labels,
# the language boxes' space bar, drops on item windows, File > New cancelled, the build wizard's
# kit name and an empty kit root.
qp_test(qpb_input_gui_test WINDOWS_ONLY DISPLAY TIMEOUT 600
  SOURCES qpb_input_gui_test.cpp remote.cpp ${CMAKE_SOURCE_DIR}/tests/e2e/gui_driver.cpp
  LIBS qp_model qp_common)
add_dependencies(qpb_input_gui_test qpb)
target_include_directories(qpb_input_gui_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e)
target_compile_definitions(qpb_input_gui_test PRIVATE
  QP_QPB_EXE="Z:$<TARGET_FILE:qpb>"
  QP_EXAMPLE_DIR="Z:${CMAKE_SOURCE_DIR}/examples/notepadish"
  QP_WORK_DIR="Z:${CMAKE_BINARY_DIR}/qpb-input-work"
  QP_SHOTS_DIR="Z:${CMAKE_BINARY_DIR}/qpb-shots")
target_link_libraries(qpb_input_gui_test PRIVATE comctl32 shell32 ole32 gdi32 user32)
