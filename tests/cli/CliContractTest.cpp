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
    const std::string top = root.path().string() + "/";
    root.write("src/a", "a");
    root.write("file", "f");
    fs::create_symlink(root / "src", root / "link");
    root.write("busy/src/a", "a");
    fs::create_directories(root / "busy/dst");
    const int held = ::open((top + "busy/dst").c_str(), O_RDONLY | O_DIRECTORY);
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
    const std::string cli = "quillfen-cli: ", src = top + "src", dst = top + "dst";

    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
        const char* dataHome = "none";
        Privileges privileges = Privileges::kept;
    };
    const Case cases[] = {
        {{"frobnicate"}, 2, cli + "unknown verb 'frobnicate' (try --help)"},
        {{"--version", "extra"}, 2, cli + "unexpected argument 'extra' (try --help)"},
        {{"scan"}, 2, cli + "missing FOLDER (try --help)"},
        {{"scan", src, "--exclude"}, 2, cli + "option '--exclude' needs a value"},
        {{"scan", src, "extra"}, 2, cli + "unexpected argument 'extra' (try --help)"},
        {{"stats", src, "--yaml"}, 2, cli + "unknown option '--yaml' (try --help)"},
        {{"profiles", "--limit", "3"}, 2, cli + "unknown option '--limit' (try --help)"},
        {{"history", "--limit"}, 2, cli + "--limit needs a number"},
        {{"history", "--limit", "-1"}, 2, cli + "--limit needs a whole number, not '-1'"},
        {{"history", "--limit", "2x"}, 2, cli + "--limit needs a whole number, not '2x'"},
        {{"sync", src}, 2, cli + "missing DESTINATION (try --help)"},
        {{"sync", src, dst, "--bwlimit="},
         2,
         cli + "--bwlimit needs a whole number of KB per second, not ''"},
        {{"sync", src, dst, "--max-delete", "-1"},
         2,
         cli + "--max-delete needs a whole number, not '-1'"},
        {{"preview", src, dst, "--frob"}, 2, cli + "unknown option '--frob' (try --help)"},
        {{"sync", "--profile", "Work", "/a", "/b"},
         2,
         cli + "unexpected argument '/a' (try --help)",
         "work"},
        {{"scan", top + "missing"},
         1,
         cli + "cannot scan " + top + "missing: No such file or directory"},
        {{"scan", top + "file"}, 1, cli + "cannot scan " + top + "file: Not a directory"},
        {{"stats", top + "link"}, 1, cli + "cannot count " + top + "link: Not a directory"},
        {{"sync", top + "missing", dst}, 1, cli + "Source not found: " + top + "missing"},
        {{"sync", top + "file", dst}, 1, cli + "Not a folder: " + top + "file"},
        {{"sync", top + "busy/src", top + "busy/dst"},
         1,
         cli + "Destination is in use by another run: " + top + "busy/dst"},
        {{"sync", "--profile", "Nobody"}, 1, cli + "No profile named Nobody", "work"},
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
        EXPECT_EQ(outcome.err.substr(0, outcome.err.find('\n')), c.err);
        EXPECT_TRUE(c.status == 3 || outcome.out.empty()) << outcome.out;
    }
    ::close(held);
    EXPECT_FALSE(fs::exists(root / "dst") || fs::exists(root / "none"));
    EXPECT_TRUE(fs::is_empty(root / "busy/dst")) << "the second run wrote nothing";
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

} // namespace
} // namespace quillfen
