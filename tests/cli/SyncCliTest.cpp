#include "CliRunner.h"
#include "TempDir.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <pty.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace quillfen {
namespace {

using test::readFile;
using test::runCli;

class SyncCliTest : public ::testing::Test {
protected:
    std::string src() const { return (root / "src").string(); }
    std::string dst() const { return (root / "dst").string(); }

    test::TempDir root;
};

TEST_F(SyncCliTest, SyncPrintsEachEventThenTheSummary) {
    root.write("src/a.txt", "aaa");
    root.write("src/skip.tmp", "t");
    auto outcome = runCli({"sync", src(), dst(), "--exclude", "*.tmp"});
    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "Excluded: skip.tmp\n"
                           "Copied: a.txt\n"
                           "Status:      Success\n"
                           "Files:       1 copied, 0 deleted, 1 processed\n"
                           "Transferred: 3 bytes\n"
                           "Duration:    0s\n");
    EXPECT_EQ(outcome.err, "") << "no progress line when standard error is not a terminal";
    EXPECT_EQ(readFile(root / "dst/a.txt"), "aaa");

    outcome = runCli({"sync", "--quiet", src(), dst(), "--exclude=*.tmp"});
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.out.find("Copied"), std::string::npos);
    EXPECT_NE(outcome.out.find("Files:       0 copied, 0 deleted, 1 processed\n"),
              std::string::npos);

    root.write("dst/old", "o");
    std::filesystem::remove(root / "src/skip.tmp");
    test::writeFile(root / "src/a.txt", "12345");
    outcome = runCli({"sync", src(), dst(), "--mirror", "--verify", "--json"});
    EXPECT_EQ(outcome.exitStatus, 0);
    const auto result = nlohmann::json::parse(outcome.out);
    EXPECT_EQ(result["status"], "success");
    EXPECT_EQ(result["filesCopied"], 1);
    EXPECT_EQ(result["filesDeleted"], 1);
    EXPECT_EQ(result["bytesTransferred"], 5);
    EXPECT_EQ(outcome.err, "Copied: a.txt\nDeleted: old\n") << "events go to standard error";
}

TEST_F(SyncCliTest, FailedFilesAndWithheldDeletionsGiveStatusThree) {
    root.write("src/blocked/a", "a");
    root.write("src/ok", "ok");
    root.write("dst/blocked", "a file where a folder goes");
    auto outcome = runCli({"sync", src(), dst()});
    EXPECT_EQ(outcome.exitStatus, 3);
    EXPECT_NE(outcome.out.find("Error: blocked/a — " + dst() + "/blocked: Not a directory\n"),
              std::string::npos);
    EXPECT_NE(outcome.out.find("Failed:      1 files\n"), std::string::npos);

    outcome = runCli({"sync", src(), dst(), "--mirror", "--max-delete", "0", "--quiet"});
    EXPECT_EQ(outcome.exitStatus, 3);
    EXPECT_EQ(outcome.err, "quillfen-cli: Not deleting 1 of 2 files in the destination: the "
                           "source looks incomplete. Preview, then sync by hand if this is "
                           "right.\n");
    EXPECT_TRUE(std::filesystem::exists(root / "dst/blocked"));
}

TEST_F(SyncCliTest, RunFailuresAndUsageErrors) {
    auto outcome = runCli({"preview", src(), dst(), "--json"});
    EXPECT_EQ(outcome.exitStatus, 1);
    const auto document = nlohmann::json::parse(outcome.out);
    EXPECT_EQ(document["result"]["status"], "failed");
    EXPECT_EQ(document["result"]["errorMessage"], "Source not found: " + src());
    EXPECT_TRUE(document["items"].empty());

    const auto file = root.write("file", "f").string();
    root.write("busy/src/a", "a");
    const auto busy = root / "busy/dst";
    std::filesystem::create_directories(busy);
    const int held = ::open(busy.c_str(), O_RDONLY | O_DIRECTORY);
    ::flock(held, LOCK_EX);
    const std::string bad = "quillfen-cli: ";
    const std::vector<std::tuple<std::vector<std::string>, int, std::string>> cases = {
        {{"sync", src(), dst()}, 1, "quillfen-cli: Source not found: " + src()},
        {{"sync", file, dst()}, 1, "quillfen-cli: Not a folder: " + file},
        {{"sync", (root / "busy/src").string(), busy.string()},
         1,
         "quillfen-cli: Destination is in use by another run: " + busy.string()},
        {{"sync", src()}, 2, bad},
        {{"sync", src(), dst(), "extra"}, 2, bad},
        {{"sync", src(), dst(), "--bwlimit", "fast"}, 2, bad},
        {{"sync", src(), dst(), "--bwlimit="}, 2, bad},
        {{"sync", src(), dst(), "--max-delete", "-1"}, 2, bad},
        {{"preview", src(), dst(), "--frobnicate"}, 2, bad},
        {{"--version", "extra"}, 2, bad},
    };
    for (const auto& [args, status, message] : cases) {
        outcome = runCli(args);
        EXPECT_EQ(outcome.exitStatus, status) << args.back();
        EXPECT_TRUE(outcome.err.starts_with(message)) << args.back() << ": " << outcome.err;
        EXPECT_EQ(outcome.out, "") << args.back();
    }
    ::close(held);
    EXPECT_FALSE(std::filesystem::exists(root / "dst"));
    EXPECT_TRUE(std::filesystem::is_empty(busy)) << "the second run wrote nothing";
}

TEST_F(SyncCliTest, ControlCharactersInNamesAreShownEscapedExceptWhereNamesMustBeExact) {
    const std::string name = "a\x1b[31m\nb";
    const std::string shown = "a\xEF\xBF\xBD[31m\xEF\xBF\xBD"
                              "b";
    root.write("src/" + name, "x");
    EXPECT_EQ(runCli({"scan", src()}).out, shown + "\n");
    EXPECT_EQ(runCli({"scan", src(), "-0"}).out, name + '\0');
    EXPECT_EQ(runCli({"preview", src(), dst()}).out,
              "copy 1 " + shown + "\n1 to copy (1 byte), 0 to delete\n");
    EXPECT_EQ(nlohmann::json::parse(
                  runCli({"preview", src(), dst(), "--json"}).out)["items"][0]["relativePath"],
              name);
    EXPECT_EQ(runCli({"sync", src(), dst(), "--json"}).err, "Copied: " + shown + "\n");
}

TEST_F(SyncCliTest, PreviewListsThePlanAndWritesNothing) {
    root.write("src/a.txt", "aaa");
    root.write("src/.DS_Store", "x");
    root.write("dst/gone.txt", "g");
    auto outcome = runCli({"preview", src(), dst(), "--mirror", "--builtin"});
    EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "copy 3 a.txt\ndelete gone.txt\n1 to copy (3 bytes), 1 to delete\n");
    EXPECT_TRUE(std::filesystem::exists(root / "dst/gone.txt"));
    EXPECT_FALSE(std::filesystem::exists(root / "dst/a.txt"));

    outcome = runCli({"preview", src(), dst(), "--json"});
    EXPECT_EQ(outcome.exitStatus, 0);
    const auto document = nlohmann::json::parse(outcome.out);
    ASSERT_EQ(document["items"].size(), 2u);
    EXPECT_EQ(document["result"]["isDryRun"], true);
    EXPECT_EQ(document["result"]["filesCopied"], 2);
    for (const auto& item : document["items"]) {
        EXPECT_EQ(item["action"], "copy");
        EXPECT_TRUE(item.contains("relativePath"));
        EXPECT_TRUE(item.contains("size"));
    }
}

void waitForTemporaryFile(const std::filesystem::path& folder) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().filename().string().starts_with(".quillfen-"))
                return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TEST_F(SyncCliTest, OneInterruptCancelsAThrottledSyncAndASecondEndsAtOnce) {
    root.write("src/big", std::string(2'000'000, 'b'));
    for (const auto& [signal, interrupts] : {std::pair{SIGINT, 1}, {SIGINT, 2}, {SIGHUP, 1}}) {
        root.write("dst/big", "old");
        const auto outcome =
            runCli({"sync", src(), dst(), "--bwlimit", "100", "--json"}, false, [&](pid_t child) {
                // Interrupt only once the copy is under way: on a loaded machine
                // the process may not have set up its signal handling yet.
                waitForTemporaryFile(root / "dst");
                for (int i = 0; i < interrupts; ++i)
                    ::kill(child, signal);
            });
        EXPECT_EQ(outcome.exitStatus, 130) << outcome.err;
        if (interrupts == 1) {
            const auto result = nlohmann::json::parse(outcome.out);
            EXPECT_EQ(result["status"], "cancelled");
            EXPECT_EQ(result["failedCount"], 1);
        }
        EXPECT_EQ(readFile(root / "dst/big"), "old");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root / "dst"),
                                std::filesystem::directory_iterator()),
                  1)
            << "no temporary file is left";
    }
}

// Runs the binary with standard error on a terminal and returns what the
// terminal received.
std::string terminalOutput(const std::vector<std::string>& args) {
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDOUT_FILENO);
        test::execCli(args);
    }
    std::string output;
    char buffer[4096];
    for (ssize_t length; (length = ::read(terminal, buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<std::size_t>(length));
    ::waitpid(child, nullptr, 0);
    ::close(terminal);
    return output;
}

TEST_F(SyncCliTest, AProgressLineIsDrawnOnlyOnATerminal) {
    root.write("src/big", std::string(400'000, 'b'));
    const auto output = terminalOutput({"sync", src(), dst(), "--bwlimit", "1024"});
    EXPECT_NE(output.find("Scanning"), std::string::npos) << output;
    EXPECT_NE(output.find("100%"), std::string::npos) << output;
    EXPECT_TRUE(output.ends_with("\r\033[K")) << "the line is cleared at the end";
}

} // namespace
} // namespace quillfen
