# Tests of the profile files and the language file (included from this folder's CMakeLists).
qp_test(test_model_profile SOURCES profile_test.cpp LIBS qp_model)
qp_test(test_model_profile_wine SOURCES profile_wine_test.cpp LIBS qp_model WINDOWS_ONLY)
qp_test(test_model_language SOURCES language_test.cpp LIBS qp_model qp_wizard)
