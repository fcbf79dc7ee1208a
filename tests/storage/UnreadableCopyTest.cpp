#include "storage/UnreadableCopy.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(UnreadableCopyTest, NamesTheCopyByUtcTimeAndNeverOverwritesOne) {
    test::TempDir dir;
    const auto file = dir.write("history.json", "[broken");
    const Date when = *parseIsoDate("2026-12-06T10:15:00Z");
    for (const auto* damage : {"[broken", "[broken", "[other damage", ""})
        keepUnreadableCopy(file, damage, when);
    EXPECT_EQ(test::folderNames(dir.path()),
              (std::vector<std::string>{"history.json", "history.json.unreadable-20261206T101500Z",
                                        "history.json.unreadable-20261206T101500Z-2"}));
    EXPECT_EQ(test::readFile(dir / "history.json.unreadable-20261206T101500Z-2"), "[other damage");
}

} // namespace
} // namespace quillfen
