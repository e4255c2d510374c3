# qpb.exe's item windows worked with real mouse clicks, key presses and context menus under Wine
# and Xvfb; the saved project compared with the same edits made on the model.
qp_gui_test(qpb_items_gui_test SOURCES qpb_items_gui_test.cpp remote.cpp LIBS qp_testexample qp_model qp_common
  PROGRAMS qpb qpbc WORK qpb-items-work SHOTS qpb-shots TIMEOUT 600)
