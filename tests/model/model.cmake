# Tests of the project document, its defaults and the project file (included from this folder's CMakeLists).
qp_test(test_model_doc SOURCES doc_test.cpp LIBS qp_model)
qp_test(test_model_projectfile SOURCES projectfile_test.cpp LIBS qp_model)
