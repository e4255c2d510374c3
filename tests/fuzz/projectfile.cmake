qp_fuzz(fuzz_projectfile SOURCES fuzz_projectfile.cpp LIBS qp_model)
