#include "CliRunner.h"
#include "TempDir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::runCli;
using test::TempDir;
using Lines = std::vector<std::string>;

Lines sortedRecords(const std::string& text, char terminator = '\n') {
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line, terminator);)
        lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST(ScanCommand, ListsFilesAndReportsExclusions) {
    TempDir dir;
    for (const char* file : {"a.txt", "sub/b.log", "sub/.DS_Store", ".git/config",
                             "node_modules/x.js", "build/out", "build.txt"})
        dir.write(file, "x");
    const auto plain = runCli({"scan", dir.path().string()});
    EXPECT_EQ(plain.exitStatus, 0);
    EXPECT_EQ(sortedRecords(plain.out), (Lines{".git/config", "a.txt", "build.txt", "build/out",
                                               "node_modules/x.js", "sub/.DS_Store", "sub/b.log"}));
    EXPECT_EQ(plain.err, "");

    const auto filtered = runCli(
        {"scan", "--builtin", dir.path().string(), "--exclude", "*.log", "--exclude=build/"});
    EXPECT_EQ(filtered.exitStatus, 0);
    EXPECT_EQ(sortedRecords(filtered.out),
              (Lines{".git/config", "a.txt", "build.txt", "node_modules/x.js"}))
        << "only the built-in rules enabled by default apply";
    EXPECT_EQ(sortedRecords(filtered.err),
              (Lines{"Excluded: build", "Excluded: sub/.DS_Store", "Excluded: sub/b.log"}));

    dir.write("nul/line\nfeed", "x");
    dir.write("nul/plain", "x");
    const auto separated = runCli({"scan", "-0", (dir / "nul").string()});
    EXPECT_EQ(std::count(separated.out.begin(), separated.out.end(), '\0'), 2);
    EXPECT_EQ(sortedRecords(separated.out, '\0'), (Lines{"line\nfeed", "plain"}));
}

TEST(ScanCommand, FailsClearlyOnBadInput) {
    TempDir dir;
    dir.write("file", "x");
    struct Case {
        Lines args;
        int status;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"scan"}, 2, "quillfen-cli: missing FOLDER (try --help)\n"},
        {{"scan", dir.path().string(), "--bogus"},
         2,
         "quillfen-cli: unknown option '--bogus' (try --help)\n"},
        {{"scan", dir.path().string(), "--exclude"},
         2,
         "quillfen-cli: option '--exclude' needs a value\n"},
        {{"scan", dir.path().string(), "extra"},
         2,
         "quillfen-cli: unexpected argument 'extra' (try --help)\n"},
        {{"frobnicate"}, 2, "quillfen-cli: unknown verb 'frobnicate' (try --help)\n"},
        {{"scan", (dir / "missing").string()},
         1,
         "quillfen-cli: cannot scan " + (dir / "missing").string() +
             ": No such file or directory\n"},
        {{"scan", (dir / "file").string()},
         1,
         "quillfen-cli: cannot scan " + (dir / "file").string() + ": Not a directory\n"},
    };
    for (const auto& c : cases) {
        const auto result = runCli(c.args);
        EXPECT_EQ(result.exitStatus, c.status) << c.args.front();
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, "");
    }
}

TEST(ScanCommand, NamesFoldersItCannotRead) {
    TempDir dir;
    dir.write("tree/open/a", "x");
    dir.write("tree/locked/b", "x");
    fs::permissions(dir / "tree/locked", fs::perms::none);
    for (auto folder = dir / "tree"; folder != folder.root_path(); folder = folder.parent_path())
        fs::permissions(folder, fs::perms::others_exec, fs::perm_options::add);
    const auto result = runCli({"scan", (dir / "tree").string()}, true);
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_EQ(result.out, "open/a\n");
    EXPECT_EQ(result.err, "Unreadable: locked\n");
}

TEST(StatsCommand, PrintsTheFiguresAsTextOrJson) {
    TempDir dir;
    dir.write("tree/a", "12345");
    dir.write("tree/sub/b", "123");
    fs::create_directories(dir / "tree/empty");
    const std::string tree = (dir / "tree").string();

    const auto text = runCli({"stats", tree});
    EXPECT_EQ(text.exitStatus, 0);
    EXPECT_EQ(text.out, "8 bytes \u00B7 2 folders \u00B7 2 files\nFiles: 2\nFolders: 2\n"
                        "Bytes: 8\nPartial: no\n");

    const auto json = runCli({"stats", "--json", tree});
    EXPECT_EQ(json.exitStatus, 0);
    EXPECT_EQ(json.out, "{\n  \"bytes\" : 8,\n  \"files\" : 2,\n  \"folders\" : 2,\n"
                        "  \"isPartial\" : false\n}\n");

    fs::create_symlink(dir / "tree", dir / "link");
    const auto link = runCli({"stats", (dir / "link").string()});
    EXPECT_EQ(link.exitStatus, 1);
    EXPECT_EQ(link.err,
              "quillfen-cli: cannot count " + (dir / "link").string() + ": Not a directory\n");
    EXPECT_EQ(runCli({"stats", tree, "--yaml"}).exitStatus, 2);
}

} // namespace
} // namespace quillfen
