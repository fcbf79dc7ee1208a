#include "TempDir.h"
#include "records/JsonForms.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;

constexpr const char* kStoreFiles[] = {"profiles.json", "history.json", "preferences.json",
                                       "exclusions.json"};

struct Outcome {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs the command line with its data folder below `dataHome`, as a user's
// shell would.
Outcome runCli(const fs::path& dataHome, const std::string& args) {
    TempDir capture;
    const std::string command =
        "XDG_DATA_HOME='" + dataHome.string() + "' TZ=UTC '" + QUILLFEN_CLI_PATH + "' " + args +
        " >'" + (capture / "out").string() + "' 2>'" + (capture / "err").string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(capture / "out"),
            readFile(capture / "err")};
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

TEST(StoreVerbsTest, ListsAWellFormedStoreAndChangesNothing) {
    PreparedStore store("wellformed");
    const auto before = store.contents();

    const auto profiles = runCli(store.dataHome(), "profiles");
    EXPECT_EQ(profiles.exitStatus, 0);
    EXPECT_EQ(profiles.out, "Photos\n  /home/ada/Pictures → /media/backup/Photos\n"
                            "Documents\n  /home/ada/Documents → /srv/mirror/Documents\n");
    EXPECT_EQ(profiles.err, "");

    const auto history = runCli(store.dataHome(), "history");
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

    const auto limited = runCli(store.dataHome(), "history --limit 1");
    EXPECT_EQ(limited.out, history.out.substr(0, history.out.find("\n\n") + 1));

    EXPECT_EQ(store.contents(), before);
}

TEST(StoreVerbsTest, JsonIsTheStoredLayoutOfTheRecordsAsLoaded) {
    PreparedStore store("wellformed");
    const auto profiles = runCli(store.dataHome(), "profiles --json");
    EXPECT_EQ(profiles.exitStatus, 0);
    // The fixture is itself in the stored layout, so it comes back unchanged.
    EXPECT_EQ(profiles.out, readFile(store.container() / "profiles.json") + "\n");

    const auto history = runCli(store.dataHome(), "history --limit 2 --json");
    const auto stored = decodeHistory(readFile(store.container() / "history.json"));
    ASSERT_TRUE(stored);
    EXPECT_EQ(history.out,
              writeJson(toJson(std::vector(stored->begin(), stored->begin() + 2))) + "\n");
    EXPECT_EQ(runCli(store.dataHome(), "history --json --limit 0").out, "[]\n");
}

TEST(StoreVerbsTest, ExtraKeysAreIgnoredAndAnUnsafeLogNameIsDropped) {
    PreparedStore store("extra-keys");
    const auto before = store.contents();

    const auto profiles = runCli(store.dataHome(), "profiles --json");
    const auto decoded = decodeProfiles(profiles.out);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->size(), 1u);
    EXPECT_EQ((*decoded)[0].name, "Music");
    EXPECT_EQ(profiles.out.find("colour"), std::string::npos);
    EXPECT_NE(profiles.out.find("\"5C1D2E3F-4A5B-4C6D-8E7F-901A2B3C4D09\""), std::string::npos);

    const auto history = runCli(store.dataHome(), "history");
    EXPECT_EQ(history.out, "2026-04-01 12:30:00  Sync  Cancelled  0s\n"
                           "  /home/ada/Music → /media/backup/Music\n"
                           "  9 processed · 1 copied · 0 deleted · 2 KB\n");
    const auto json = runCli(store.dataHome(), "history --json");
    EXPECT_EQ(json.out.find("logFileName"), std::string::npos);
    EXPECT_EQ(json.out.find("throughput"), std::string::npos);

    EXPECT_EQ(store.contents(), before);
}

TEST(StoreVerbsTest, DamagedFilesReadAsEmptyAndAreKeptOnce) {
    PreparedStore store("wellformed");
    const std::string damaged = readFile(store.container() / "history.json").substr(0, 300);
    test::writeFile(store.container() / "history.json", damaged);
    test::writeFile(store.container() / "profiles.json", "[{\"name\": 3}]");

    EXPECT_EQ(runCli(store.dataHome(), "history").out, "No history yet\n");
    EXPECT_EQ(runCli(store.dataHome(), "profiles").out, "No profiles\n");
    EXPECT_EQ(runCli(store.dataHome(), "profiles --json").out, "[]\n");

    const auto files = store.contents();
    EXPECT_EQ(files.at("history.json"), damaged);
    std::vector<std::string> copies;
    for (const auto& [name, content] : files)
        if (name.find(".unreadable-") != std::string::npos) {
            copies.push_back(name.substr(0, name.find(".unreadable-")));
            EXPECT_EQ(content, files.at(copies.back()));
        }
    EXPECT_EQ(copies, (std::vector<std::string>{"history.json", "profiles.json"}));
}

TEST(StoreVerbsTest, MissingStoreIsEmptyAndNotCreated) {
    TempDir dataHome;
    EXPECT_EQ(runCli(dataHome.path(), "profiles").out, "No profiles\n");
    EXPECT_EQ(runCli(dataHome.path(), "history").out, "No history yet\n");
    EXPECT_FALSE(fs::exists(dataHome / "Quillfen"));
}

TEST(StoreVerbsTest, BadOptionsAreUsageErrors) {
    TempDir dataHome;
    for (const auto* args :
         {"profiles --bogus", "profiles --limit 3", "profiles extra", "history --limit",
          "history --limit -1", "history --limit 2x", "history --verbose"}) {
        const auto outcome = runCli(dataHome.path(), args);
        EXPECT_EQ(outcome.exitStatus, 2) << args;
        EXPECT_EQ(outcome.out, "") << args;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << args;
    }
    EXPECT_NE(runCli(dataHome.path(), "--help").out.find("history [--json] [--limit N]"),
              std::string::npos);
}

TEST(StoreVerbsTest, ControlCharactersDoNotReachTheTerminal) {
    TempDir dataHome;
    SyncProfile profile;
    profile.name = "Evil\x1b[2J\nname";
    profile.source = "/a";
    profile.destination = "/b";
    test::writeFile(dataHome / "Quillfen/profiles.json", writeJson(toJson(std::vector{profile})));
    EXPECT_EQ(runCli(dataHome.path(), "profiles").out,
              "Evil\xEF\xBF\xBD[2J\xEF\xBF\xBDname\n  /a → /b\n");
}

} // namespace
} // namespace quillfen

namespace quillfen {
namespace {

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

    auto outcome = runCli(dataHome.path(), "preview --profile Work --exclude '*.tmp'");
    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("copy 1 keep.txt\n"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("delete stale.txt\n"), std::string::npos) << outcome.out;
    EXPECT_EQ(outcome.out.find("skip.xmp"), std::string::npos);
    EXPECT_EQ(outcome.out.find("extra.tmp"), std::string::npos);

    outcome = runCli(dataHome.path(), "sync --profile Work --quiet");
    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
    EXPECT_EQ(readFile(folders / "dst/keep.txt"), "k");
    EXPECT_FALSE(fs::exists(folders / "dst/stale.txt"));
    EXPECT_FALSE(fs::exists(folders / "dst/skip.xmp"));
    EXPECT_EQ(readFile(dataHome / "Quillfen/profiles.json"), before);

    outcome = runCli(dataHome.path(), "sync --profile Nobody");
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(outcome.err, "quillfen-cli: No profile named Nobody\n");
    outcome = runCli(dataHome.path(), "sync --profile Work /a /b");
    EXPECT_EQ(outcome.exitStatus, 2);
}

} // namespace
} // namespace quillfen
