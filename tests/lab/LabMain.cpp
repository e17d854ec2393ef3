#include "support/LabManifest.h"

#include <gtest/gtest.h>

#include <cstdio>

// Lab tests run only inside the lab (lab/run); elsewhere they report skipped.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!rm::LabManifest::load().available() && !::testing::GTEST_FLAG(list_tests)) {
        std::printf("lab not available: skipped (run lab/up as root)\n");
        return 77;
    }
    return RUN_ALL_TESTS();
}
