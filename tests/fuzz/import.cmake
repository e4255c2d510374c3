qp_fuzz(fuzz_import SOURCES fuzz_import.cpp LIBS qp_model)
