#include <gtest/gtest.h>

TEST(ServicesPlaceholder, Builds) { SUCCEED(); }
