# Tests of the project document, its defaults and the project file (included from this folder's CMakeLists).
qp_test(test_model_doc SOURCES doc_test.cpp LIBS qp_model)
qp_test(test_model_projectfile SOURCES projectfile_test.cpp LIBS qp_model)

# The benchmark helper of scripts/bench-project.sh: host build only, not a test, not built by default.
if(NOT QP_WINDOWS)
  add_executable(bench_project EXCLUDE_FROM_ALL bench_project.cpp)
  target_link_libraries(bench_project PRIVATE qp_model)
endif()
