#include "records/Date.h"
#include "records/ExclusionPattern.h"
#include "records/FolderStats.h"
#include "records/HistoryEntry.h"
#include "records/SyncResult.h"
#include "records/SyncStatus.h"
#include "records/TextFormat.h"
#include "records/Uuid.h"

#include <clocale>
#include <gtest/gtest.h>
#include <set>

namespace quillfen {
namespace {

TEST(UuidValue, IsRandomAndRoundTripsInEitherCase) {
    const Uuid a = Uuid::random();
    EXPECT_NE(a, Uuid::random());
    const std::string text = a.toString();
    ASSERT_EQ(text.size(), 36u);
    EXPECT_EQ(text.find_first_of("abcdef"), std::string::npos);
    EXPECT_EQ(Uuid::parse(text), a);
    EXPECT_EQ(Uuid::parse("e621e1f8-c36c-495a-93fc-0c247a3e6e5f").value().toString(),
              "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    for (const char* bad :
         {"", "E621E1F8C36C495A93FC0C247A3E6E5F", "E621E1F8-C36C-495A-93FC-0C247A3E6E5",
          "E621E1F8-C36C-495A-93FC-0C247A3E6E5G", "{E621E1F8-C36C-495A-93FC-0C247A3E6E}"})
        EXPECT_FALSE(Uuid::parse(bad)) << bad;
}

TEST(IsoDate, WritesWholeSecondsInUtcAndReadsStrictly) {
    const auto date = parseIsoDate("2026-03-01T14:05:09Z");
    ASSERT_TRUE(date);
    EXPECT_EQ(formatIsoDate(*date + std::chrono::milliseconds(750)), "2026-03-01T14:05:09Z");
    EXPECT_EQ(parseIsoDate("2026-03-01T16:05:09+02:00"), date);
    EXPECT_EQ(parseIsoDate("2026-03-01T09:35:09-04:30"), date);
    EXPECT_EQ(formatIsoDate(*parseIsoDate("1969-12-31T23:59:59Z")), "1969-12-31T23:59:59Z");
    for (const char* bad : {"2026-03-01T14:05:09.5Z", "2026-03-01T14:05:09", "2026-03-01 14:05:09Z",
                            "2026-02-30T14:05:09Z", "2026-03-01T24:00:00Z", "2026-3-01T14:05:09Z",
                            "2026-03-01T14:05:09+0200", "yesterday"})
        EXPECT_FALSE(parseIsoDate(bad)) << bad;
}

TEST(Enumerations, StatusesConvertBothWays) {
    for (auto status : {SyncStatus::success, SyncStatus::cancelled, SyncStatus::failed})
        EXPECT_EQ(syncStatusFromString(toString(status)), status);
}

// That they stay the same within a process, the store's first start shows.
TEST(BuiltInPatterns, HaveDistinctIds) {
    std::set<Uuid> ids;
    for (const auto& rule : builtInPatterns())
        ids.insert(rule.id);
    EXPECT_EQ(ids.size(), builtInPatterns().size());
}

TEST(FileSizeText, UsesDecimalUnitsRoundedBeforeTheUnitIsPickedWhateverTheLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        std::setlocale(LC_ALL, "C.UTF-8");
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0 bytes"},         {1, "1 byte"},       {999, "999 bytes"},
        {1000, "1 KB"},         {12'500, "13 KB"},   {1'250'000'000, "1.25 GB"},
        {INT64_MAX, "9.22 EB"}, {999'499, "999 KB"}, {999'999, "1 MB"}};
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(formatFileSize(bytes), text);
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
    const std::string bad = "\xEF\xBF\xBD"; // U+FFFD
    EXPECT_EQ(toValidUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(toValidUtf8("a\xFF!"), "a" + bad + "!");
    EXPECT_EQ(toValidUtf8("\xC3"), bad);
    EXPECT_EQ(toValidUtf8("\xED\xA0\x80"), bad + bad + bad);
    EXPECT_EQ(toValidUtf8("\xC0\xAF"), bad + bad);
}

} // namespace
} // namespace quillfen
