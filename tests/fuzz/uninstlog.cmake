qp_fuzz(fuzz_uninstlog SOURCES fuzz_uninstlog.cpp LIBS qp_engine)
