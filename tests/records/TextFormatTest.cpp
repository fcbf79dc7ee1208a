#include "records/TextFormat.h"

#include "records/FolderStats.h"
#include "records/HistoryEntry.h"
#include "records/SyncResult.h"

#include <clocale>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(FileSizeText, UsesDecimalUnitsRoundedBeforeTheUnitIsPicked) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0 bytes"},
        {1, "1 byte"},
        {999, "999 bytes"},
        {1000, "1 KB"},
        {12'500, "13 KB"},
        {3'000'000, "3 MB"},
        {1'250'000'000, "1.25 GB"},
        {5'000'000'000'000, "5 TB"},
        {INT64_MAX, "9.22 EB"},
        {999'499, "999 KB"},
        {999'999, "1 MB"},
        {999'960'000, "1 GB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(formatFileSize(bytes), text);
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        std::setlocale(LC_ALL, "C.UTF-8");
    EXPECT_EQ(formatFileSize(3'400'000), "3.4 MB") << "whatever the process locale";
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(DurationText, CutsToWholeSecondsWithoutHours) {
    SyncResult result;
    for (const auto& [seconds, text] :
         {std::pair{0.0, "0s"}, {59.9, "59s"}, {60.0, "1m 0s"}, {3725.0, "62m 5s"}, {-3.0, "0s"}}) {
        result.duration = seconds;
        EXPECT_EQ(result.durationText(), text);
    }
    HistoryEntry entry;
    EXPECT_EQ(entry.durationText(), "0s") << "not ended";
    entry.endedAt = entry.startedAt + std::chrono::milliseconds(61'500);
    EXPECT_EQ(entry.durationText(), "1m 1s");
}

TEST(FolderStatsSummary, MarksPartialCountsButKeepsSingulars) {
    EXPECT_EQ((FolderStats{1, 1, 0, false}.summary()), "0 bytes \u00B7 1 folder \u00B7 1 file");
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
