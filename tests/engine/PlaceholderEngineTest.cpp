#include <gtest/gtest.h>

TEST(EnginePlaceholder, Builds) { SUCCEED(); }
