#include "CliRunner.h"
#include "TempDir.h"
#include "TestEnvironment.h"
#include "records/JsonForms.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

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
    const auto path = [&](const char* relative) {
        return (root / relative).string();
    };
    root.write("src/a", "a");
    root.write("file", "f");
    fs::create_symlink(root / "src", root / "link");
    root.write("busy/src/a", "a");
    fs::create_directories(root / "busy/dst");
    const int held = ::open(path("busy/dst").c_str(), O_RDONLY | O_DIRECTORY);
    ::flock(held, LOCK_EX);
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
        return "quillfen-cli: cannot read " + (damaged / file).string() +
               ": the file is damaged or unreadable";
    };
    const std::string prefix = "quillfen-cli: ";

    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
        const char* dataHome = "none";
        Privileges privileges = Privileges::kept;
    };
    const Case cases[] = {
        {{"frobnicate"}, 2, prefix + "unknown verb 'frobnicate' (try --help)"},
        {{"--version", "extra"}, 2, prefix + "unexpected argument 'extra' (try --help)"},
        {{"scan"}, 2, prefix + "missing FOLDER (try --help)"},
        {{"scan", path("src"), "--exclude"}, 2, prefix + "option '--exclude' needs a value"},
        {{"scan", path("src"), "extra"}, 2, prefix + "unexpected argument 'extra' (try --help)"},
        {{"stats", path("src"), "--yaml"}, 2, prefix + "unknown option '--yaml' (try --help)"},
        {{"profiles", "--limit", "3"}, 2, prefix + "unknown option '--limit' (try --help)"},
        {{"history", "--limit"}, 2, prefix + "--limit needs a number"},
        {{"history", "--limit", "-1"}, 2, prefix + "--limit needs a whole number, not '-1'"},
        {{"history", "--limit", "2x"}, 2, prefix + "--limit needs a whole number, not '2x'"},
        {{"sync", path("src")}, 2, prefix + "missing DESTINATION (try --help)"},
        {{"sync", path("src"), path("dst"), "--bwlimit", "fast"},
         2,
         prefix + "--bwlimit needs a whole number of KB per second, not 'fast'"},
        {{"sync", path("src"), path("dst"), "--bwlimit="},
         2,
         prefix + "--bwlimit needs a whole number of KB per second, not ''"},
        {{"sync", path("src"), path("dst"), "--max-delete", "-1"},
         2,
         prefix + "--max-delete needs a whole number, not '-1'"},
        {{"preview", path("src"), path("dst"), "--frobnicate"},
         2,
         prefix + "unknown option '--frobnicate' (try --help)"},
        {{"sync", "--profile", "Work", "/a", "/b"},
         2,
         prefix + "unexpected argument '/a' (try --help)",
         "work"},
        {{"scan", path("missing")},
         1,
         prefix + "cannot scan " + path("missing") + ": No such file or directory"},
        {{"scan", path("file")}, 1, prefix + "cannot scan " + path("file") + ": Not a directory"},
        {{"stats", path("link")}, 1, prefix + "cannot count " + path("link") + ": Not a directory"},
        {{"sync", path("missing"), path("dst")},
         1,
         prefix + "Source not found: " + path("missing")},
        {{"sync", path("file"), path("dst")}, 1, prefix + "Not a folder: " + path("file")},
        {{"sync", path("busy/src"), path("busy/dst")},
         1,
         prefix + "Destination is in use by another run: " + path("busy/dst")},
        {{"sync", "--profile", "Nobody"}, 1, prefix + "No profile named Nobody", "work"},
        {{"history"}, 1, unreadable("history.json"), "damaged"},
        {{"profiles", "--json"}, 1, unreadable("profiles.json"), "damaged"},
        {{"sync", "--profile", "Photos"}, 1, unreadable("profiles.json"), "damaged"},
        // A file that failed is told on standard output, with the other events.
        {{"sync", path("blocked/src"), path("blocked/dst")}, 3, ""},
        {{"sync", path("blocked/src"), path("blocked/dst"), "--mirror", "--max-delete", "0"},
         3,
         prefix + "Not deleting 1 of 2 files in the destination: the source looks incomplete. "
                  "Preview, then sync by hand if this is right."},
        {{"scan", path("unreadable")}, 3, "Unreadable: locked", "none", Privileges::dropped},
    };
    for (const auto& c : cases) {
        const test::ScopedEnv dataHome("XDG_DATA_HOME", (root / c.dataHome).string());
        const auto outcome = runCli(c.args, c.privileges);
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        EXPECT_EQ(outcome.exitStatus, c.status);
        EXPECT_EQ(outcome.err.substr(0, outcome.err.find('\n')), c.err);
        if (c.status == 1 || c.status == 2) {
            EXPECT_EQ(outcome.out, "");
        }
    }
    ::close(held);
    EXPECT_FALSE(fs::exists(root / "dst"));
    EXPECT_TRUE(fs::is_empty(root / "busy/dst")) << "the second run wrote nothing";
    EXPECT_EQ(test::folderNames(damaged).size(), 4u) << "a reader keeps no copy";
    EXPECT_EQ(readFile(damaged / "history.json"), damagedBefore);
    EXPECT_FALSE(fs::exists(root / "none"));
}

TEST(CliContract, OneInterruptCancelsAThrottledSyncAndASecondEndsAtOnce) {
    test::TempDir root;
    root.write("src/big", std::string(2'000'000, 'b'));
    const auto waitForTemporaryFile = [&] {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (test::folderNames(root / "dst", ".quillfen-").empty() &&
               std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    };
    for (const auto& [signal, interrupts] : {std::pair{SIGINT, 1}, {SIGINT, 2}, {SIGHUP, 1}}) {
        root.write("dst/big", "old");
        const auto outcome = runCli({"sync", (root / "src").string(), (root / "dst").string(),
                                     "--bwlimit", "100", "--json"},
                                    Privileges::kept, [&](pid_t child) {
                                        // Interrupt only once the copy is under way: on a loaded
                                        // machine the process may not handle signals before.
                                        waitForTemporaryFile();
                                        for (int i = 0; i < interrupts; ++i)
                                            ::kill(child, signal);
                                    });
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

} // namespace
} // namespace quillfen
