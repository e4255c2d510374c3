# qpb.exe's sheets and wizards driven under Wine and Xvfb: every page changes one value, the
# saved project dumps like the model with the same changes; kits built through the wizards.
qp_gui_test(qpb_sheets_gui_test SOURCES qpb_sheets_gui_test.cpp remote.cpp
  LIBS qp_testexample qp_sheetlogic qp_model qp_common PROGRAMS qpb qpbc setup WORK qpb-sheets-work SHOTS qpb-shots TIMEOUT 900)
