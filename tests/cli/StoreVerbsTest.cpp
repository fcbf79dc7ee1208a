#include "CliRunner.h"
#include "TempDir.h"
#include "records/JsonForms.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;

// Runs the command line with its data folder below `dataHome`, as a user's
// shell would.
test::CliOutcome runCli(const fs::path& dataHome, const std::vector<std::string>& args) {
    ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    ::setenv("TZ", "UTC", 1);
    return test::runCli(args);
}

// A data folder holding a copy of a prepared store.
class PreparedStore {
public:
    explicit PreparedStore(const std::string& fixture) {
        fs::create_directories(container());
        for (const auto& entry :
             fs::directory_iterator(fs::path(QUILLFEN_TEST_DATA) / "store" / fixture))
            fs::copy_file(entry.path(), container() / entry.path().filename());
    }
    fs::path dataHome() const { return dir_.path(); }
    fs::path container() const { return dir_ / "Quillfen"; }
    std::map<std::string, std::string> contents() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(container()))
            files[entry.path().filename().string()] = readFile(entry.path());
        return files;
    }

private:
    TempDir dir_;
};

TEST(StoreVerbsTest, ListsAWellFormedStoreAsTextOrStoredLayoutAndChangesNothing) {
    PreparedStore store("wellformed");
    const auto before = store.contents();
    const auto profiles = runCli(store.dataHome(), {"profiles"});
    EXPECT_EQ(profiles.exitStatus, 0);
    EXPECT_EQ(profiles.out, "Photos\n  /home/ada/Pictures → /media/backup/Photos\n"
                            "Documents\n  /home/ada/Documents → /srv/mirror/Documents\n");
    EXPECT_EQ(profiles.err, "");

    const auto history = runCli(store.dataHome(), {"history"});
    EXPECT_EQ(history.exitStatus, 0);
    EXPECT_EQ(history.out,
              "2026-03-03 10:00:00  Sync  Failed  1m 2s\n"
              "  /home/ada/Pictures → /media/backup/Photos\n"
              "  120 processed · 12 copied · 3 deleted · 1.5 MB · 2 failed · 4 excluded\n"
              "  Error: Cannot write: /media/backup/Photos\n"
              "  Log: 9A8B7C6D-5E4F-4A3B-8C2D-1E0F9A8B7C03.log\n"
              "\n"
              "2026-03-02 09:00:00  Preview  Success  5s\n"
              "  /home/ada/Documents → /srv/mirror/Documents\n"
              "  40 processed · 7 copied · 0 deleted · 0 bytes\n"
              "  Log: 9A8B7C6D-5E4F-4A3B-8C2D-1E0F9A8B7C02.log\n"
              "\n"
              "2026-03-01 15:00:00  Sync  No result  0s\n"
              "  /home/ada/Pictures → /media/backup/Photos\n");
    EXPECT_EQ(runCli(store.dataHome(), {"history", "--limit", "1"}).out,
              history.out.substr(0, history.out.find("\n\n") + 1));

    // The fixtures are in the stored layout, so they come back byte for byte.
    EXPECT_EQ(runCli(store.dataHome(), {"profiles", "--json"}).out,
              before.at("profiles.json") + "\n");
    const auto& storedHistory = before.at("history.json");
    EXPECT_EQ(runCli(store.dataHome(), {"history", "--json", "--limit", "1"}).out,
              storedHistory.substr(0, storedHistory.find("\n  },")) + "\n  }\n]\n");
    const auto stored = decodeHistory(storedHistory);
    EXPECT_EQ(runCli(store.dataHome(), {"history", "--limit", "2", "--json"}).out,
              writeJson(toJson(std::vector(stored->begin(), stored->begin() + 2))) + "\n");
    EXPECT_EQ(runCli(store.dataHome(), {"history", "--json", "--limit", "0"}).out, "[]\n");
    EXPECT_EQ(store.contents(), before);
}

TEST(StoreVerbsTest, ExtraKeysAreIgnoredAndAnUnsafeLogNameIsDropped) {
    PreparedStore store("extra-keys");
    const auto before = store.contents();
    const auto profiles = runCli(store.dataHome(), {"profiles", "--json"}).out;
    ASSERT_TRUE(decodeProfiles(profiles));
    EXPECT_EQ(profiles.find("colour"), std::string::npos);
    EXPECT_NE(profiles.find("\"5C1D2E3F-4A5B-4C6D-8E7F-901A2B3C4D09\""), std::string::npos);
    EXPECT_EQ(runCli(store.dataHome(), {"history"}).out,
              "2026-04-01 12:30:00  Sync  Cancelled  0s\n"
              "  /home/ada/Music → /media/backup/Music\n"
              "  9 processed · 1 copied · 0 deleted · 2 KB\n");
    const auto json = runCli(store.dataHome(), {"history", "--json"}).out;
    EXPECT_EQ(json.find("logFileName"), std::string::npos);
    EXPECT_EQ(json.find("throughput"), std::string::npos);
    EXPECT_EQ(store.contents(), before);
}

TEST(StoreVerbsTest, ADamagedFileIsNamedAndNothingIsWritten) {
    PreparedStore store("wellformed");
    test::writeFile(store.container() / "history.json",
                    readFile(store.container() / "history.json").substr(0, 300));
    test::writeFile(store.container() / "profiles.json", "[{\"name\": 3}]");
    const auto before = store.contents();
    const auto problem = [&](const std::string& file) {
        return "quillfen-cli: cannot read " + (store.container() / file).string() +
               ": the file is damaged or unreadable\n";
    };
    for (const auto& [args, file] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"history"}, "history.json"},
             {{"profiles", "--json"}, "profiles.json"},
             {{"sync", "--profile", "Photos"}, "profiles.json"}}) {
        const auto outcome = runCli(store.dataHome(), args);
        EXPECT_EQ(outcome.exitStatus, 1) << args[0];
        EXPECT_EQ(outcome.out, "") << args[0];
        EXPECT_EQ(outcome.err, problem(file)) << args[0];
    }
    EXPECT_EQ(store.contents(), before) << "no copy kept, nothing changed";
}

TEST(StoreVerbsTest, MissingStoreIsEmptyAndNotCreatedAndBadOptionsAreUsageErrors) {
    TempDir dataHome;
    EXPECT_EQ(runCli(dataHome.path(), {"profiles"}).out, "No profiles\n");
    EXPECT_EQ(runCli(dataHome.path(), {"history"}).out, "No history yet\n");
    EXPECT_FALSE(fs::exists(dataHome / "Quillfen"));
    for (const std::vector<std::string>& args : {std::vector<std::string>{"profiles", "--bogus"},
                                                 {"profiles", "--limit", "3"},
                                                 {"profiles", "extra"},
                                                 {"history", "--limit"},
                                                 {"history", "--limit", "-1"},
                                                 {"history", "--limit", "2x"}}) {
        const auto outcome = runCli(dataHome.path(), args);
        EXPECT_EQ(outcome.exitStatus, 2) << args.back();
        EXPECT_EQ(outcome.out, "") << args.back();
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << args.back();
    }
    EXPECT_NE(runCli(dataHome.path(), {"--help"}).out.find("history [--json] [--limit N]"),
              std::string::npos);
}

TEST(StoreVerbsTest, ControlCharactersDoNotReachTheTerminal) {
    TempDir dataHome;
    SyncProfile profile;
    profile.name = "Evil\x1b[2J\nname";
    profile.source = "/a";
    profile.destination = "/b";
    test::writeFile(dataHome / "Quillfen/profiles.json", writeJson(toJson(std::vector{profile})));
    EXPECT_EQ(runCli(dataHome.path(), {"profiles"}).out,
              "Evil\xEF\xBF\xBD[2J\xEF\xBF\xBDname\n  /a → /b\n");
}

// A store whose one profile points at folders of the test's own.
TEST(StoreVerbsTest, SyncAndPreviewRunAStoredProfile) {
    TempDir folders;
    folders.write("src/keep.txt", "k");
    folders.write("src/skip.xmp", "x");
    folders.write("src/extra.tmp", "t");
    folders.write("dst/stale.txt", "s");
    SyncProfile profile;
    profile.name = "Work";
    profile.source = (folders / "src").string();
    profile.destination = (folders / "dst").string();
    profile.deleteExtras = true;
    profile.excludePatterns = {{Uuid::random(), "*.xmp", "*.xmp", true, false},
                               {Uuid::random(), "*.txt", "*.txt", false, false}};
    TempDir dataHome;
    test::writeFile(dataHome / "Quillfen/profiles.json", writeJson(toJson(std::vector{profile})));
    const auto before = readFile(dataHome / "Quillfen/profiles.json");

    auto outcome = runCli(dataHome.path(), {"preview", "--profile", "Work", "--exclude", "*.tmp"});
    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "copy 1 keep.txt\ndelete stale.txt\n1 to copy (1 byte), 1 to delete\n");

    outcome = runCli(dataHome.path(), {"sync", "--profile", "Work", "--quiet"});
    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
    EXPECT_EQ(readFile(folders / "dst/keep.txt"), "k");
    EXPECT_FALSE(fs::exists(folders / "dst/stale.txt"));
    EXPECT_FALSE(fs::exists(folders / "dst/skip.xmp"));
    EXPECT_EQ(readFile(dataHome / "Quillfen/profiles.json"), before);

    outcome = runCli(dataHome.path(), {"sync", "--profile", "Nobody"});
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(outcome.err, "quillfen-cli: No profile named Nobody\n");
    EXPECT_EQ(runCli(dataHome.path(), {"sync", "--profile", "Work", "/a", "/b"}).exitStatus, 2);
}

} // namespace
} // namespace quillfen
