qp_fuzz(fuzz_setuplist SOURCES fuzz_setuplist.cpp LIBS qp_common)
