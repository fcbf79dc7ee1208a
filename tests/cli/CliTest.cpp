#include "CliRunner.h"
#include "RecordBuilders.h"
#include "TempDir.h"
#include "TestEnvironment.h"
#include "records/JsonForms.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::Privileges;
using test::readFile;
using test::runCli;

// What the command line promises a script: an exit status (0 done, 1 failed,
// 2 misused, 3 done with files that failed) and, on standard error, one line
// that names the problem. What each failure means is the engine's and the
// store's to prove.
TEST(CliContract, ArgumentsGiveTheirExitStatusAndFirstLineOfStandardError) {
    test::TempDir root;
    const std::string top = root.path().string() + "/";
    root.write("src/a", "a");
    root.write("file", "f");
    fs::create_symlink(root / "src", root / "link");
    root.write("blocked/src/blocked/a", "a");
    root.write("blocked/src/ok", "ok");
    root.write("blocked/dst/blocked", "a file where a folder goes");
    root.write("unreadable/open/a", "x");
    root.write("unreadable/locked/b", "x");
    fs::permissions(root / "unreadable/locked", fs::perms::none);
    test::openToEveryone({root / "unreadable"});
    test::writeFile(root / "work/Quillfen/profiles.json",
                    writeJson(toJson(std::vector{SyncProfile{.name = "Work"}})));
    test::copyStore("wellformed", root / "damaged");
    const auto damaged = root / "damaged/Quillfen";
    test::writeFile(damaged / "history.json", readFile(damaged / "history.json").substr(0, 300));
    test::writeFile(damaged / "profiles.json", "[{\"name\": 3}]");
    const auto damagedBefore = readFile(damaged / "history.json");
    const auto unreadable = [&](const char* file) {
        return "cannot read " + (damaged / file).string() + ": the file is damaged or unreadable";
    };
    const std::string cli = "quillfen-cli: ", src = top + "src", dst = top + "dst";

    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err; // after "quillfen-cli: " when the command failed (1 or 2)
        const char* dataHome = "none";
        Privileges privileges = Privileges::kept;
    };
    const Case cases[] = {
        {{"frobnicate"}, 2, "unknown verb 'frobnicate' (try --help)"},
        {{"--version", "extra"}, 2, "unexpected argument 'extra' (try --help)"},
        {{"scan"}, 2, "missing FOLDER (try --help)"},
        {{"scan", src, "--exclude"}, 2, "option '--exclude' needs a value"},
        {{"scan", src, "extra"}, 2, "unexpected argument 'extra' (try --help)"},
        {{"stats", src, "--yaml"}, 2, "unknown option '--yaml' (try --help)"},
        {{"profiles", "--limit", "3"}, 2, "unknown option '--limit' (try --help)"},
        {{"history", "--limit"}, 2, "--limit needs a number"},
        {{"history", "--limit", "-1"}, 2, "--limit needs a whole number, not '-1'"},
        {{"history", "--limit", "2x"}, 2, "--limit needs a whole number, not '2x'"},
        {{"sync", src}, 2, "missing DESTINATION (try --help)"},
        {{"sync", src, dst, "--bwlimit="},
         2,
         "--bwlimit needs a whole number of KB per second, not ''"},
        {{"sync", "--profile", "Work", "/a", "/b"},
         2,
         "unexpected argument '/a' (try --help)",
         "work"},
        {{"scan", top + "missing"}, 1, "cannot scan " + top + "missing: No such file or directory"},
        {{"scan", top + "file"}, 1, "cannot scan " + top + "file: Not a directory"},
        {{"stats", top + "link"}, 1, "cannot count " + top + "link: Not a directory"},
        {{"sync", top + "missing", dst}, 1, "Source not found: " + top + "missing"},
        {{"sync", "--profile", "Nobody"}, 1, "No profile named Nobody", "work"},
        {{"history"}, 1, unreadable("history.json"), "damaged"},
        {{"profiles", "--json"}, 1, unreadable("profiles.json"), "damaged"},
        {{"sync", "--profile", "Photos"}, 1, unreadable("profiles.json"), "damaged"},
        // A file that failed is told on standard output, with the other events.
        {{"sync", top + "blocked/src", top + "blocked/dst"}, 3, ""},
        {{"sync", top + "blocked/src", top + "blocked/dst", "--mirror", "--max-delete", "0"},
         3,
         cli + "Not deleting 1 of 2 files in the destination: the source looks incomplete. "
               "Preview, then sync by hand if this is right."},
        {{"scan", top + "unreadable"}, 3, "Unreadable: locked", "none", Privileges::dropped},
    };
    for (const auto& c : cases) {
        const test::ScopedEnv dataHome("XDG_DATA_HOME", (root / c.dataHome).string());
        const auto outcome = runCli(c.args, c.privileges);
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        EXPECT_EQ(outcome.exitStatus, c.status);
        EXPECT_EQ(outcome.err.substr(0, outcome.err.find('\n')),
                  (c.status == 3 ? "" : cli) + c.err);
        EXPECT_TRUE(c.status == 3 || outcome.out.empty()) << outcome.out;
    }
    EXPECT_FALSE(fs::exists(root / "dst") || fs::exists(root / "none"));
    EXPECT_EQ(test::folderNames(damaged).size(), 4u) << "a reader keeps no copy";
    EXPECT_EQ(readFile(damaged / "history.json"), damagedBefore);
}

TEST(CliContract, OneInterruptCancelsAThrottledSyncAndASecondEndsAtOnce) {
    test::TempDir root;
    root.write("src/big", std::string(2'000'000, 'b'));
    const std::string src = (root / "src").string(), dst = (root / "dst").string();
    for (const auto& [signal, interrupts] : {std::pair{SIGINT, 1}, {SIGINT, 2}, {SIGHUP, 1}}) {
        root.write("dst/big", "old");
        // Only once the copy is under way: a loaded machine may start handling signals late.
        const auto interrupt = [&](pid_t child) {
            for (int i = 0; i < 1000 && test::folderNames(root / "dst", ".quillfen-").empty(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            for (int i = 0; i < interrupts; ++i)
                ::kill(child, signal);
        };
        const auto outcome =
            runCli({"sync", src, dst, "--bwlimit", "100", "--json"}, Privileges::kept, interrupt);
        EXPECT_EQ(outcome.exitStatus, 130) << outcome.err;
        if (interrupts == 1) {
            EXPECT_EQ(nlohmann::json::parse(outcome.out)["status"], "cancelled");
        }
        EXPECT_EQ(test::folderNames(root / "dst"), std::vector<std::string>{"big"})
            << "no temporary file is left";
    }
}

TEST(CliContract, AProgressLineIsDrawnOnlyOnATerminal) {
    test::TempDir root;
    root.write("src/big", std::string(400'000, 'b'));
    const auto output = test::terminalOutput(
        {"sync", (root / "src").string(), (root / "dst").string(), "--bwlimit", "1024"});
    EXPECT_NE(output.find("Scanning"), std::string::npos) << output;
    EXPECT_NE(output.find("100%"), std::string::npos) << output;
    EXPECT_TRUE(output.ends_with("\r\033[K")) << "the line is cleared at the end";
}

using Lines = std::vector<std::string>;
using Json = nlohmann::json;

Lines sortedLines(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::ranges::sort(lines);
    return lines;
}

// The exact forms of what the command line prints.
class CliOutput : public ::testing::Test {
protected:
    // Stores `profiles` as the profiles of a data home that the command line then uses.
    test::ScopedEnv storeProfiles(const std::vector<SyncProfile>& profiles) {
        root.write("home/Quillfen/profiles.json", writeJson(toJson(profiles)));
        return {"XDG_DATA_HOME", (root / "home").string()};
    }

    test::TempDir root;
    const std::string src = (root / "src").string();
    const std::string dst = (root / "dst").string();
};

TEST_F(CliOutput, ScanListsFilesAndReportsExclusions) {
    for (const char* file : {"a.txt", "sub/b.log", "sub/.DS_Store", ".git/config",
                             "node_modules/x.js", "build/out", "build.txt"})
        root.write("src/" + std::string(file), "x");
    const auto plain = runCli({"scan", src});
    EXPECT_EQ(sortedLines(plain.out), (Lines{".git/config", "a.txt", "build.txt", "build/out",
                                             "node_modules/x.js", "sub/.DS_Store", "sub/b.log"}));
    EXPECT_EQ(plain.err, "");
    const auto filtered =
        runCli({"scan", "--builtin", src, "--exclude", "*.log", "--exclude=build/"});
    EXPECT_EQ(filtered.exitStatus, 0);
    EXPECT_EQ(sortedLines(filtered.out),
              (Lines{".git/config", "a.txt", "build.txt", "node_modules/x.js"}))
        << "only the built-in rules enabled by default apply";
    EXPECT_EQ(sortedLines(filtered.err),
              (Lines{"Excluded: build", "Excluded: sub/.DS_Store", "Excluded: sub/b.log"}));
}

TEST_F(CliOutput, StatsPrintsTheFiguresAsTextOrJson) {
    root.write("src/a", "12345");
    root.write("src/sub/b", "123");
    fs::create_directories(root / "src/empty");
    EXPECT_EQ(runCli({"stats", src}).out, "8 bytes \u00B7 2 folders \u00B7 2 files\nFiles: 2\n"
                                          "Folders: 2\nBytes: 8\nPartial: no\n");
    EXPECT_EQ(runCli({"stats", "--json", src}).out,
              "{\n  \"bytes\" : 8,\n  \"files\" : 2,\n  \"folders\" : 2,\n"
              "  \"isPartial\" : false\n}\n");
}

TEST_F(CliOutput, StoreVerbsListTheStoreAsTextOrInItsStoredLayoutAndChangeNothing) {
    const test::ScopedEnv utc("TZ", "UTC");
    {
        const test::ScopedEnv dataHome("XDG_DATA_HOME", (root / "none").string());
        EXPECT_EQ(runCli({"profiles"}).out, "No profiles\n");
        EXPECT_EQ(runCli({"history"}).out, "No history yet\n");
        EXPECT_FALSE(fs::exists(root / "none")) << "a missing store is not created";
    }
    test::copyStore("wellformed", root.path());
    const test::ScopedEnv dataHome("XDG_DATA_HOME", root.path().string());
    const auto storedProfiles = readFile(root / "Quillfen/profiles.json");
    const auto storedHistory = readFile(root / "Quillfen/history.json");
    const auto profiles = runCli({"profiles"});
    EXPECT_EQ(profiles.exitStatus, 0);
    EXPECT_EQ(profiles.out, "Photos\n  /home/ada/Pictures → /media/backup/Photos\n"
                            "Documents\n  /home/ada/Documents → /srv/mirror/Documents\n");
    EXPECT_EQ(profiles.err, "");
    const auto history = runCli({"history"}).out;
    EXPECT_EQ(history, "2026-03-03 10:00:00  Sync  Failed  1m 2s\n"
                       "  /home/ada/Pictures → /media/backup/Photos\n"
                       "  120 processed · 12 copied · 3 deleted · 1.5 MB · 2 failed · 4 excluded\n"
                       "  Error: Cannot write: /media/backup/Photos\n"
                       "  Log: 9A8B7C6D-5E4F-4A3B-8C2D-1E0F9A8B7C03.log\n\n"
                       "2026-03-02 09:00:00  Preview  Success  5s\n"
                       "  /home/ada/Documents → /srv/mirror/Documents\n"
                       "  40 processed · 7 copied · 0 deleted · 0 bytes\n"
                       "  Log: 9A8B7C6D-5E4F-4A3B-8C2D-1E0F9A8B7C02.log\n\n"
                       "2026-03-01 15:00:00  Sync  No result  0s\n"
                       "  /home/ada/Pictures → /media/backup/Photos\n");
    EXPECT_EQ(runCli({"history", "--limit", "1"}).out, history.substr(0, history.find("\n\n") + 1));
    // The fixtures are in the stored layout, so they come back byte for byte.
    EXPECT_EQ(runCli({"profiles", "--json"}).out, storedProfiles + "\n");
    EXPECT_EQ(runCli({"history", "--json", "--limit", "1"}).out,
              storedHistory.substr(0, storedHistory.find("\n  },")) + "\n  }\n]\n");
    EXPECT_EQ(runCli({"history", "--json", "--limit", "0"}).out, "[]\n");
    EXPECT_EQ(readFile(root / "Quillfen/profiles.json") + readFile(root / "Quillfen/history.json"),
              storedProfiles + storedHistory);
    EXPECT_NE(runCli({"--help"}).out.find("history [--json] [--limit N]"), std::string::npos);
}

TEST_F(CliOutput, SyncPrintsEachEventThenTheSummary) {
    root.write("src/a.txt", "aaa");
    root.write("src/skip.tmp", "t");
    auto outcome = runCli({"sync", src, dst, "--exclude", "*.tmp"});
    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "Excluded: skip.tmp\nCopied: a.txt\nStatus:      Success\n"
                           "Files:       1 copied, 0 deleted, 1 processed\n"
                           "Transferred: 3 bytes\nDuration:    0s\n");
    EXPECT_EQ(outcome.err, "") << "no progress line when standard error is not a terminal";
    outcome = runCli({"sync", "--quiet", src, dst, "--exclude=*.tmp"});
    EXPECT_TRUE(outcome.out.starts_with("Status:      Success\n"
                                        "Files:       0 copied, 0 deleted, 1 processed\n"))
        << outcome.out;

    root.write("dst/old", "o");
    root.write("src/a.txt", "12345");
    fs::remove(root / "src/skip.tmp");
    outcome = runCli({"sync", src, dst, "--mirror", "--verify", "--json"});
    EXPECT_EQ(outcome.exitStatus, 0);
    const auto result = Json::parse(outcome.out);
    EXPECT_EQ(Json({result["status"], result["filesCopied"], result["filesDeleted"],
                    result["bytesTransferred"]}),
              Json({"success", 1, 1, 5}));
    EXPECT_EQ(outcome.err, "Copied: a.txt\nDeleted: old\n") << "events go to standard error";
}

TEST_F(CliOutput, PreviewListsThePlanAsTextOrJson) {
    const auto failed = Json::parse(runCli({"preview", src, dst, "--json"}).out);
    EXPECT_EQ(failed["result"]["status"], "failed");
    EXPECT_EQ(failed["result"]["errorMessage"], "Source not found: " + src);
    EXPECT_TRUE(failed["items"].empty());

    root.write("src/a.txt", "aaa");
    root.write("src/.DS_Store", "x");
    root.write("dst/gone.txt", "g");
    const auto outcome = runCli({"preview", src, dst, "--mirror", "--builtin"});
    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "copy 3 a.txt\ndelete gone.txt\n1 to copy (3 bytes), 1 to delete\n");
    const auto document = Json::parse(runCli({"preview", src, dst, "--json"}).out);
    EXPECT_TRUE(document["result"]["isDryRun"] && document["result"]["filesCopied"] == 2);
    EXPECT_EQ(document["items"],
              Json::parse(R"([{"action":"copy","relativePath":".DS_Store","size":1},
                              {"action":"copy","relativePath":"a.txt","size":3}])"));
}

TEST_F(CliOutput, AStoredProfileRunsWithItsOwnFoldersAndEnabledRulesAndChangesNothing) {
    root.write("src/keep.txt", "k");
    root.write("src/skip.xmp", "x");
    root.write("src/extra.tmp", "t");
    root.write("dst/stale.txt", "s");
    const auto dataHome =
        storeProfiles({{.name = "Work",
                        .source = src,
                        .destination = dst,
                        .deleteExtras = true,
                        .excludePatterns = {test::rule("*.xmp"), test::rule("*.txt", false)}}});
    const auto before = readFile(root / "home/Quillfen/profiles.json");
    const auto outcome = runCli({"sync", "--profile", "Work", "--exclude", "*.tmp", "--quiet"});
    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
    EXPECT_EQ(test::folderNames(root / "dst"), Lines{"keep.txt"});
    EXPECT_EQ(readFile(root / "home/Quillfen/profiles.json"), before);
}

TEST_F(CliOutput, ControlCharactersAreShownEscapedExceptWhereNamesMustBeExact) {
    const std::string name = "a\x1b[31m\nb";
    const std::string shown = "a\xEF\xBF\xBD[31m\xEF\xBF\xBD"
                              "b";
    root.write("src/" + name, "x");
    EXPECT_EQ(runCli({"scan", src}).out, shown + "\n");
    EXPECT_EQ(runCli({"scan", src, "-0"}).out, name + '\0');
    EXPECT_EQ(runCli({"preview", src, dst}).out,
              "copy 1 " + shown + "\n1 to copy (1 byte), 0 to delete\n");
    EXPECT_EQ(Json::parse(runCli({"preview", src, dst, "--json"}).out)["items"][0]["relativePath"],
              name);
    EXPECT_EQ(runCli({"sync", src, dst, "--json"}).err, "Copied: " + shown + "\n");
    const auto dataHome = storeProfiles({{.name = name, .source = "/a", .destination = "/b"}});
    EXPECT_EQ(runCli({"profiles"}).out, shown + "\n  /a → /b\n");
}

} // namespace
} // namespace quillfen
