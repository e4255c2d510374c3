qp_fuzz(fuzz_peversion SOURCES fuzz_peversion.cpp LIBS qp_common)
