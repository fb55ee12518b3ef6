// Test main of the toolkit-free core: no Qt at all.
#include <gtest/gtest.h>

#include "tests/common/Isolation.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    quorvex::test::InstallIsolation();
    return RUN_ALL_TESTS();
}
