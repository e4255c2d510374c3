# The windows' edits of a project: renames, deletes, membership, listeners.
qp_test(test_model_edits SOURCES edits_test.cpp LIBS qp_model)
