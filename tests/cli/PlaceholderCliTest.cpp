#include <gtest/gtest.h>

TEST(CliPlaceholder, Builds) {
    SUCCEED();
}
