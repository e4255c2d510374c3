qp_fuzz(fuzz_unzip SOURCES fuzz_unzip.cpp LIBS qp_engine)
