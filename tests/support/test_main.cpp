// The main of every test program: gtest's own, and one line more when every test that ran was
// skipped (a tool missing, a platform without what the tests need). ctest reads that line to
// show the program as skipped; a program that skipped only some of its tests passes, and gtest
// lists the skipped ones in its summary.
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    const testing::UnitTest& run = *testing::UnitTest::GetInstance();
    if (rc == 0 && run.test_to_run_count() > 0 && run.skipped_test_count() == run.test_to_run_count())
        std::printf("[qptest] every test of this program was skipped\n");
    std::fflush(stdout);
    return rc;
}
