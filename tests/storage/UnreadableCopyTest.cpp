#include "storage/UnreadableCopy.h"

#include "StoreTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::folderNames;
using test::readFile;
using test::TempDir;

TEST(UnreadableCopyTest, NamesTheCopyByUtcTimeAndNeverOverwritesOne) {
    TempDir dir;
    const auto file = dir.write("history.json", "[broken");
    const Date when = *parseIsoDate("2026-12-06T10:15:00Z");
    keepUnreadableCopy(file, "[broken", when);
    keepUnreadableCopy(file, "[broken", when);
    keepUnreadableCopy(file, "[other damage", when);
    keepUnreadableCopy(file, "", when);
    EXPECT_EQ(folderNames(dir.path()),
              (std::vector<std::string>{"history.json", "history.json.unreadable-20261206T101500Z",
                                        "history.json.unreadable-20261206T101500Z-2"}));
    EXPECT_EQ(readFile(dir / "history.json.unreadable-20261206T101500Z"), "[broken");
    EXPECT_EQ(readFile(dir / "history.json.unreadable-20261206T101500Z-2"), "[other damage");
}

} // namespace
} // namespace quillfen
