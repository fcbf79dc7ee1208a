#include "records/TextFormat.h"

#include "records/FolderStats.h"
#include "records/HistoryEntry.h"
#include "records/SyncResult.h"

#include <clocale>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(FileSizeText, UsesDecimalUnitsWithTheirPrecision) {
    EXPECT_EQ(formatFileSize(0), "0 bytes");
    EXPECT_EQ(formatFileSize(1), "1 byte");
    EXPECT_EQ(formatFileSize(999), "999 bytes");
    EXPECT_EQ(formatFileSize(1000), "1 KB");
    EXPECT_EQ(formatFileSize(12'345), "12 KB");
    EXPECT_EQ(formatFileSize(12'500), "13 KB");
    EXPECT_EQ(formatFileSize(3'400'000), "3.4 MB");
    EXPECT_EQ(formatFileSize(3'000'000), "3 MB");
    EXPECT_EQ(formatFileSize(1'250'000'000), "1.25 GB");
    EXPECT_EQ(formatFileSize(1'200'000'000), "1.2 GB");
    EXPECT_EQ(formatFileSize(5'000'000'000'000), "5 TB");
    EXPECT_EQ(formatFileSize(INT64_MAX), "9.22 EB");
}

TEST(FileSizeText, PicksTheUnitAfterRounding) {
    EXPECT_EQ(formatFileSize(999'499), "999 KB");
    EXPECT_EQ(formatFileSize(999'999), "1 MB");
    EXPECT_EQ(formatFileSize(999'960'000), "1 GB");
}

TEST(FileSizeText, IgnoresTheProcessLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        std::setlocale(LC_ALL, "C.UTF-8");
    EXPECT_EQ(formatFileSize(3'400'000), "3.4 MB");
    EXPECT_EQ(formatFileSize(1'234'567'890), "1.23 GB");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(DurationText, CutsToWholeSecondsWithoutHours) {
    auto text = [](double seconds) {
        SyncResult result;
        result.duration = seconds;
        return result.durationText();
    };
    EXPECT_EQ(text(0), "0s");
    EXPECT_EQ(text(59.9), "59s");
    EXPECT_EQ(text(60), "1m 0s");
    EXPECT_EQ(text(61), "1m 1s");
    EXPECT_EQ(text(3725), "62m 5s");
    EXPECT_EQ(text(-3), "0s");
}

TEST(DurationText, HistoryEntryMeasuresFromStartToEnd) {
    HistoryEntry entry;
    EXPECT_EQ(entry.durationText(), "0s");
    entry.endedAt = entry.startedAt + std::chrono::milliseconds(61'500);
    EXPECT_EQ(entry.durationText(), "1m 1s");
}

TEST(FolderStatsSummary, MarksPartialCountsButKeepsSingulars) {
    EXPECT_EQ((FolderStats{1, 1, 0, false}.summary()), "0 bytes \u00B7 1 folder \u00B7 1 file");
    EXPECT_EQ((FolderStats{1, 1, 0, true}.summary()), "~0 bytes \u00B7 1 folder \u00B7 1 file");
    EXPECT_EQ((FolderStats{1, 12, 3'400'000, true}.summary()),
              "~3.4 MB \u00B7 12+ folders \u00B7 1 file");
    EXPECT_EQ((FolderStats{20'000, 1'000, 999, false}.summary()),
              "999 bytes \u00B7 1000 folders \u00B7 20000 files");
}

TEST(ValidUtf8, ReplacesBrokenSequencesOnly) {
    EXPECT_EQ(toValidUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(toValidUtf8("a\xFF"
                          "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(toValidUtf8("\xC3"), "\xEF\xBF\xBD");
    EXPECT_EQ(toValidUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(toValidUtf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

} // namespace
} // namespace quillfen
