qp_fuzz(fuzz_profile SOURCES fuzz_profile.cpp LIBS qp_model)
