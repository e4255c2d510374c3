# Tests of the product GUID and product-string helpers (included from this folder's CMakeLists).
qp_test(test_model_productcode SOURCES productcode_test.cpp LIBS qp_model)
