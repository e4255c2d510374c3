# qpb.exe driven under Wine and Xvfb: the example project opened, edited through the windows,
# saved and compared with the same edits made on the model, then built from the menu.
qp_gui_test(qpb_gui_test SOURCES qpb_gui_test.cpp remote.cpp LIBS qp_testexample qp_model qp_common
  PROGRAMS qpb qpbc WORK qpb-gui-work SHOTS qpb-shots)

# The editors (registry values, shortcuts, string table, functions) driven under Wine, then a
# kit of the edited project installed.
qp_gui_test(qpb_editors_gui_test SOURCES qpb_editors_gui_test.cpp remote.cpp LIBS qp_testexample qp_model qp_common
  PROGRAMS qpb qpbc setup WORK qpb-editors-work SHOTS qpb-shots)

# qpb.exe driven with real key presses, the menu bar and drops: edit keys in cells and labels,
# the language boxes' space bar, drops on item windows, File > New cancelled, the build wizard's
# kit name and an empty kit root.
qp_gui_test(qpb_input_gui_test SOURCES qpb_input_gui_test.cpp remote.cpp LIBS qp_model qp_common
  PROGRAMS qpb WORK qpb-input-work SHOTS qpb-shots)
