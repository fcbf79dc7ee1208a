#include "records/JsonForms.h"

#include "RecordBuilders.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

const std::string kData = QUILLFEN_TEST_DATA "/records/";
using test::at;

TEST(JsonLayout, ProfilesAreWrittenByteForByte) {
    SyncProfile profile{.id = *Uuid::parse("5a1b2c3d-4e5f-4061-8273-94a5b6c7d8e9"),
                        .name = "Photos → Drive",
                        .source = "/home/ana/Photos",
                        .destination = "/media/backup/Photos",
                        .deleteExtras = true,
                        .bandwidthLimit = 512,
                        .excludePatterns = {{*Uuid::parse("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"),
                                             "._*", "._* (resource forks)", true, true},
                                            {*Uuid::parse("0F3B4A0C-1D2E-4F50-8A6B-7C8D9E0F1A2B"),
                                             "drafts/*.md", "drafts/*.md", false, false}},
                        .createdAt = at("2026-03-01T10:00:00Z") + std::chrono::milliseconds(750)};
    const std::string expected = test::readFile(kData + "profiles.json");
    EXPECT_EQ(writeJson(toJson(std::vector{profile})), expected);
    profile.createdAt = at("2026-03-01T10:00:00Z"); // the fraction of a second is not stored
    EXPECT_EQ(decodeProfiles(expected), std::vector{profile});
}

TEST(JsonLayout, OptionalsAreLeftOutAndEmptiesAreCompact) {
    // The history layout is checked byte for byte by the command line's tests.
    EXPECT_EQ(
        writeJson(toJson(AppPreferences{})),
        "{\n  \"scheduleFrequency\" : \"never\",\n  \"scheduleHour\" : 9,\n"
        "  \"scheduleMinute\" : 0,\n  \"scheduleSilent\" : true,\n  \"scheduleWeekday\" : 2\n}");
    EXPECT_EQ(decodePreferences(writeJson(toJson(AppPreferences{}))), AppPreferences{});
    EXPECT_EQ(writeJson(toJson(std::vector<HistoryEntry>{})), "[]");
    const std::string entry = writeJson(toJson(HistoryEntry{}));
    for (const auto* key : {"endedAt", "logFileName", "result"})
        EXPECT_EQ(entry.find(key), std::string::npos) << key;
}

TEST(JsonLayout, NumbersAndTextKeepTheirShortestSafeForm) {
    nlohmann::json json{{"a", 0.0},          {"b", 0.1},           {"c", 1e21},     {"d", -7},
                        {"e", "x/y\n\"q\""}, {"f", "caf\xC3\xA9"}, {"g", "bad\xFF"}};
    EXPECT_EQ(writeJson(json), "{\n  \"a\" : 0,\n  \"b\" : 0.1,\n  \"c\" : 1e+21,\n  \"d\" : -7,"
                               "\n  \"e\" : \"x/y\\n\\\"q\\\"\",\n  \"f\" : \"caf\xC3\xA9\","
                               "\n  \"g\" : \"bad\xEF\xBF\xBD\"\n}");
    // A path that is not UTF-8 still gives a document that reads back.
    const HistoryEntry entry{.source = "/photos/\xFF\xFEname\n"};
    EXPECT_EQ(decodeHistory(writeJson(toJson(std::vector{entry}))).value().at(0).source,
              "/photos/\xEF\xBF\xBD\xEF\xBF\xBDname\n");
}

TEST(JsonReading, ToleratesMissingOrNullOptionalsAndUnknownKeys) {
    const auto history = decodeHistory(test::readFile(kData + "history-later-version.json"));
    ASSERT_TRUE(history && history->size() == 2);
    const HistoryEntry& first = (*history)[0];
    EXPECT_EQ(first.id.toString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(first.endedAt, at("2026-03-01T10:01:02Z"));
    ASSERT_TRUE(first.result);
    EXPECT_FALSE(first.result->failedCount || first.result->filesExcluded ||
                 first.result->errorMessage);
    EXPECT_FALSE((*history)[1].endedAt || (*history)[1].result || (*history)[1].logFileName);
    EXPECT_FALSE(decodePreferences(R"({"scheduledProfileId":null,"scheduleFrequency":"daily",
        "scheduleHour":9,"scheduleMinute":0,"scheduleWeekday":2,"scheduleSilent":true})")
                     ->scheduledProfileId);
}

TEST(JsonReading, OneBadValueFailsTheWholeDocument) {
    const std::string good = test::readFile(kData + "history-later-version.json");
    ASSERT_TRUE(decodeHistory(good));
    const std::pair<std::string, std::string> damages[] = {
        {"\"success\"", "\"Success\""},
        {"\"filesCopied\" : 1", "\"filesCopied\" : 1.5"},
        {"\"failedCount\" : null", "\"failedCount\" : true"},
        {"\"isDryRun\" : true", "\"isDryRun\" : 1"},
        {"\"filesDeleted\" : 0,", ""},
        {"0F3B4A0C-1D2E", "0F3B4A0C-1D2X"},
        {"09:00:00Z", "09:00:00.250Z"},
        {"\"source\" : \"/a\",", ""},
        {"\n]", ""}};
    for (const auto& [from, to] : damages) {
        std::string text = good;
        ASSERT_NE(text.find(from), std::string::npos) << from;
        EXPECT_FALSE(decodeHistory(text.replace(text.find(from), from.size(), to))) << from;
    }
    EXPECT_FALSE(decodeHistory("{}"));
    EXPECT_FALSE(decodeProfiles("[{}]"));
    EXPECT_FALSE(decodePreferences(R"({"scheduleFrequency":"never","scheduleHour":9,
        "scheduleMinute":0,"scheduleWeekday":2})"));
    EXPECT_FALSE(decodePreferences(R"({"scheduleFrequency":"monthly","scheduleHour":9,
        "scheduleMinute":0,"scheduleWeekday":2,"scheduleSilent":true})"));
}

TEST(JsonReading, BackupNeedsAllSixKeys) {
    const SettingsBackup backup{.backupVersion = 7,
                                .appVersion = "1.0",
                                .exportedAt = at("2026-03-01T00:00:00Z"),
                                .profiles = {{.createdAt = at("2026-02-01T00:00:00Z")}},
                                .exclusionPatterns = builtInPatterns()};
    auto json = nlohmann::json::parse(writeJson(toJson(backup)));
    EXPECT_EQ(decodeSettingsBackup(json.dump()), backup);
    json.erase("preferences");
    EXPECT_FALSE(decodeSettingsBackup(json.dump()));
}

} // namespace
} // namespace quillfen
