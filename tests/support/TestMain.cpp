#include "tests/support/TestHome.h"

#include <gtest/gtest.h>

// Tests without widgets, in a home of their own.
int main(int argc, char** argv)
{
    const TestHome home;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
