#include <gtest/gtest.h>

TEST(StoragePlaceholder, Builds) { SUCCEED(); }
