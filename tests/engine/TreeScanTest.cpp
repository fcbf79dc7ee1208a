#include "EngineTestSupport.h"
#include "engine/ListingPaths.h"
#include "engine/TreeListing.h"
#include "engine/TreeWalker.h"

#include <algorithm>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <iterator>
#include <locale.h>
#include <ostream>
#include <set>
#include <sys/resource.h>
#include <thread>

namespace quillfen {
void PrintTo(const FolderStats& value, std::ostream* out) {
    *out << value.files << " files, " << value.folders << " folders, " << value.bytes << " bytes"
         << (value.isPartial ? ", partial" : "");
}

namespace {

namespace fs = std::filesystem;
using Paths = std::vector<std::string>;

Paths sorted(Paths paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

struct Scan {
    ScanResult result;
    Paths excluded;
};

Scan scan(const fs::path& root, const Paths& patterns = {}) {
    Scan scan;
    scan.result = SyncEngine().scanFiles(
        root, patterns, [&](const std::string& path) { scan.excluded.push_back(path); });
    return scan;
}

// Builds `depth` nested folders named `component` below `parent`, with an
// empty `fileName` in each: relative steps from a changed working folder
// reach past PATH_MAX.
void makeDeepChain(const fs::path& parent, const std::string& component, int depth,
                   const std::string& fileName) {
    const auto previous = fs::current_path();
    fs::current_path(parent);
    for (int level = 0; level < depth; ++level) {
        fs::create_directory(component);
        fs::current_path(component);
        test::writeFile(fileName, "");
    }
    fs::current_path(previous);
}

// Removes a tree of any depth (std::filesystem::remove_all fails past PATH_MAX).
bool removeDeepTree(const fs::path& path) {
    return std::system(("rm -rf '" + path.string() + "'").c_str()) == 0;
}

FolderStats count(const fs::path& path) {
    return SyncEngine::computeFolderStats(path.string());
}

TEST(TreeScan, ListsEveryFileDepthFirstNamedExactlyAsBytes) {
    test::TempDir dir;
    fs::create_directories(dir / "only/folders/here");
    const Paths files = sorted({".hidden", "a/.env", "a/b/c/three", "a/b/two", "a/four", "a/one",
                                "d/e/six", "d/five", "top.txt", "caf\xc3\xa9", "odd/line\nfeed",
                                "odd/\xff\xfe-not-utf8", "odd/star*", "odd/ trailing "});
    for (const auto& file : files)
        dir.write(file, "content");
    const Scan result = scan(dir.path());
    EXPECT_EQ(sorted(result.result.files), files);
    EXPECT_TRUE(result.excluded.empty() && result.result.unreadableFolders.empty());
    const auto& listed = result.result.files;
    for (const std::string folder : {"a/", "a/b/", "d/"}) { // its files one after another
        const auto inside = [&](const std::string& path) {
            return path.starts_with(folder);
        };
        const auto first = std::ranges::find_if(listed, inside);
        EXPECT_TRUE(std::all_of(first, first + std::ranges::count_if(listed, inside), inside));
    }
    for (const auto* notAFolder : {"missing", "top.txt"}) {
        const ScanResult nothing = scan(dir / notAFolder).result;
        EXPECT_TRUE(nothing.files.empty() && nothing.unreadableFolders.empty()) << notAFolder;
    }
}

TEST(TreeScan, LinksAreNeitherListedNorFollowedNorCountedAndCountsStopOnTime) {
    test::TempDir dir;
    dir.write("outside/secret.txt", "secret");
    dir.write("tree/real.txt", "real");
    dir.write("tree/sub/inner.txt", std::string(70000, 'i'));
    fs::create_directories(dir / "tree/empty");
    fs::create_symlink(dir / "outside", dir / "tree/folder-link");
    fs::create_symlink(dir / "tree/real.txt", dir / "tree/file-link");
    fs::create_symlink(dir / "nowhere", dir / "tree/dangling-link");
    fs::create_symlink(dir / "tree", dir / "tree/sub/loop");

    const Paths expected = {"real.txt", "sub/inner.txt"};
    EXPECT_EQ(sorted(scan(dir / "tree").result.files), expected);
    EXPECT_EQ(count(dir / "tree"), (FolderStats{2, 2, 70004, false}));

    // A link in place of the root is followed by a scan, and not by a count.
    fs::create_symlink(dir / "tree", dir / "root-link");
    const Scan throughLink = scan(dir / "root-link", {"inner.txt"});
    EXPECT_EQ(throughLink.result.files, Paths{"real.txt"});
    EXPECT_EQ(throughLink.excluded, Paths{"sub/inner.txt"});
    EXPECT_EQ(sorted(scan(dir / "root-link/sub/..").result.files), expected);
    for (const auto* nothing : {"missing", "tree/real.txt", "root-link", ""})
        EXPECT_EQ(count(*nothing ? dir / nothing : fs::path()), FolderStats{}) << nothing;

    const auto tree = (dir / "tree").string();
    EXPECT_EQ(SyncEngine::computeFolderStats(tree, {}, std::chrono::milliseconds(0)),
              (FolderStats{0, 0, 0, true}))
        << "the deadline is checked before each item";
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(SyncEngine::computeFolderStats(tree, stop.get_token()), FolderStats{})
        << "a cancelled count is not partial";
}

TEST(TreeScan, TreesDeeperThanPathMaxAreWalkedAndSyncedWithFewDescriptors) {
    test::TempDir dir;
    constexpr int kDepth = 110; // 110 levels of 41 bytes: past PATH_MAX
    const std::string component(40, 'd');
    // Two deep branches below one folder: whichever comes second is reached
    // only after the walk has come back up past its descriptor window.
    fs::create_directories(dir / "tree");
    makeDeepChain(dir / "tree", component, 1, "top");
    for (const auto* branch : {"left", "right"})
        makeDeepChain(dir / "tree" / component, branch + std::string(36, 'x'), kDepth, "f");
    dir.write("tree/" + component + "/after", "x");

    const auto descriptorsBefore = std::distance(fs::directory_iterator("/proc/self/fd"), {});
    const Scan result = scan(dir / "tree", {"top"});
    const auto& files = result.result.files;
    EXPECT_EQ(files.size(), 2u * kDepth + 1);
    EXPECT_EQ(std::set<std::string>(files.begin(), files.end()).size(), files.size());
    EXPECT_EQ(result.excluded, Paths{component + "/top"});
    EXPECT_TRUE(std::ranges::any_of(files, [](auto& path) { return path.size() > PATH_MAX; }));
    const FolderStats counted = count(dir / "tree");
    EXPECT_EQ(counted, (FolderStats{2 * kDepth + 2, 2 * kDepth + 1, 1, false}));
    EXPECT_EQ(std::distance(fs::directory_iterator("/proc/self/fd"), {}), descriptorsBefore);

    const auto synced = test::runInChild([&] {
        const struct rlimit few = {100, 100};
        ::setrlimit(RLIMIT_NOFILE, &few);
        const auto run = SyncEngine().sync(dir / "tree", dir / "copy", {.verify = true});
        return std::to_string(run.filesCopied) + " copied, " +
               std::to_string(run.failedCount + run.verificationFailures) + " failed";
    });
    EXPECT_EQ(synced, std::to_string(2 * kDepth + 2) + " copied, 0 failed");
    EXPECT_EQ(count(dir / "copy"), counted);
    EXPECT_TRUE(removeDeepTree(dir / "tree") && removeDeepTree(dir / "copy"));
}

TEST(TreeScan, UnreadableFoldersArePassedOverAndNamedAndNotCounted) {
    test::TempDir dir;
    dir.write("tree/open/a.txt", "a");
    dir.write("tree/locked/secret.txt", "s");
    dir.write("tree/locked-parent/inner/deep.txt", "d");
    dir.write("tree/z.txt", "zz");
    fs::permissions(dir / "tree/locked", fs::perms::none);
    // Listable but not searchable: names without sizes.
    fs::permissions(dir / "tree/locked-parent", fs::perms::owner_all | fs::perms::others_read);
    fs::create_directories(dir / "closed");
    fs::permissions(dir / "closed", fs::perms::none);

    const std::string output = test::runAsNobody({dir / "tree"}, [&] {
        const ScanResult result = SyncEngine().scanFiles(dir / "tree", {});
        const ScanResult closed = SyncEngine().scanFiles(dir / "closed", {});
        return ::testing::PrintToString(sorted(result.files)) +
               ::testing::PrintToString(sorted(result.unreadableFolders)) +
               ::testing::PrintToString(closed.files.size() + closed.unreadableFolders.size()) +
               ::testing::PrintToString(count(dir / "tree"));
    });
    EXPECT_EQ(output, ::testing::PrintToString(Paths{"open/a.txt", "z.txt"}) +
                          ::testing::PrintToString(Paths{"locked", "locked-parent/inner"}) + "0" +
                          "2 files, 4 folders, 3 bytes");
}

TEST(TreeListing, KeepsEveryNameWholeAndEachFileInItsFolder) {
    // Names of the longest kind, enough of them to fill several blocks, and
    // files of one folder on both sides of a subfolder's and of an empty one.
    TreeListing listing;
    const auto top = listing.addFolder(TreeListing::kRoot, "top\xff");
    const auto sub = listing.addFolder(top, std::string(255, 's'));
    std::vector<std::string> paths;
    for (int i = 0; i < 4000; ++i) {
        const auto folder = i % 1000 < 500 ? top : sub;
        if (i == 1200)
            listing.addFolder(top, "empty"); // between two files of the folder above it
        const auto name = std::to_string(i) + std::string(250, 'n');
        listing.addFile(folder, name);
        paths.push_back(listing.folderPath(folder) + "/" + name);
    }
    listing.addFile(TreeListing::kRoot, "at-the-root");
    paths.push_back("at-the-root");

    ASSERT_EQ(listing.fileCount(), paths.size());
    EXPECT_EQ(listing.folderPath(sub), "top\xff/" + std::string(255, 's'));
    ListingPaths inOrder(listing);
    for (TreeListing::Index file = 0; file < listing.fileCount(); ++file) {
        EXPECT_EQ(listing.filePath(file), paths[file]);
        EXPECT_EQ(inOrder.of(file), paths[file]);
    }
    EXPECT_EQ(listing.folderOfFile(499), top);
    EXPECT_EQ(listing.folderOfFile(500), sub);
    EXPECT_EQ(listing.folderOfFile(1000), top);
}

// Deletes every other item of the root as soon as the first one is reported,
// as an editor or a version-control tool might while a scan runs.
struct DeletingVisitor : TreeWalker::Visitor {
    TreeWalker::Step visit(const TreeWalker::Item& item) override {
        visited.push_back(item.relativePath);
        if (visited.size() == 1)
            for (const auto& entry : fs::directory_iterator(root))
                if (entry.path().filename() != item.relativePath)
                    fs::remove_all(entry.path());
        return TreeWalker::Step::proceed;
    }
    void folderUnreadable(const std::string& path, int) override { problems.push_back(path); }
    TreeWalker::Step attributesUnreadable(const std::string& path, int) override {
        problems.push_back(path);
        return TreeWalker::Step::proceed;
    }

    fs::path root;
    std::vector<std::string> visited, problems;
};

TEST(TreeWalker, PassesOverItemsThatVanishDuringTheWalk) {
    test::TempDir dir;
    for (const char* file : {"a/1", "b/2", "c", "d", "e/f/3"})
        dir.write(file, "x");
    DeletingVisitor visitor;
    visitor.root = dir.path();
    TreeWalker walker(visitor, TreeWalker::Stat::everyFile);
    ASSERT_TRUE(walker.walk(dir.path()));
    EXPECT_TRUE(visitor.problems.empty()) << visitor.problems.front();
    const std::string first = visitor.visited.front();
    for (const auto& path : visitor.visited) {
        const bool insideFirst = path.rfind(first + "/", 0) == 0;
        EXPECT_TRUE(path == first || insideFirst || path == "a" || path == "b" || path == "e")
            << path << " was reported or entered after it vanished";
    }
}

struct Case {
    std::string path;
    std::string pattern;
    bool isFolder;
    bool excluded;
};

// The cases given a wrong answer, one a line.
std::string wrongAnswers(const std::vector<Case>& cases) {
    std::string wrong;
    for (const auto& c : cases)
        if (SyncEngine::isExcluded(c.path, {c.pattern},
                                   c.isFolder ? ItemKind::folder : ItemKind::file) != c.excluded)
            wrong += c.path + " ~ " + c.pattern + '\n';
    return wrong;
}

TEST(ExclusionMatching, MatchesTheWholePathOrTheLastNameAndSlashMeansFolder) {
    EXPECT_EQ(
        wrongAnswers({
            {"a/b/.DS_Store", ".DS_Store", false, true},
            {"work/x.tmp", "*.tmp", false, true},
            {"work/.x.tmp", "*.tmp", false, false}, // a leading period is matched only literally
            {"docs/a.md", "docs/*.md", false, true},
            {"x/docs/a.md", "docs/*.md", false, false},
            {"a/b/c", "a*c", false, false}, // no wildcard crosses a slash
            {"a/.b/c", "a/*/c", false, false},
            {"Notes.TXT", "*.txt", false, false}, // case is significant
            {"x.log.gz", "*.log", false, false},  // anchored at both ends
            {"dir/\xff\xfe.tmp", "*.tmp", false, true},
            {"line\nbreak", "line?break", false, true},
            {"a/star*", "star\\*", false, true}, // a backslash takes the next character literally
            {"a/stars", "star\\*", false, false},
            // A pattern ending in a slash names folders only.
            {"src/build", "build/", true, true},
            {"src/build", "build/", false, false},
            {"src/build", "src/build/", true, true},
            {"lib/src/build", "src/build/", true, false},
            {"out-3", "out-*/", true, true},
            {"a", "/", true, false},
            {"build", "build", false, true}, // without the slash files match too
        }),
        "");
    EXPECT_FALSE(SyncEngine::isExcluded("a/b", {}, ItemKind::file));
    EXPECT_TRUE(SyncEngine::isExcluded("x.log", {"*.tmp", "*.log"}, ItemKind::file))
        << "any pattern";
}

TEST(ExclusionMatching, MatchesCharactersNotBytesWhateverTheLocaleOnManyThreadsAtOnce) {
    const std::string eAcute = "\xc3\xa9"; // two bytes, one character
    const std::vector<Case> cases = {{eAcute, "?", false, true},
                                     {eAcute, "???", false, false},
                                     {"dir/caf" + eAcute, "dir/caf?", false, true},
                                     {eAcute, "[" + eAcute + "]", false, true},
                                     {eAcute, "[a-z]", false, false},
                                     {"b/cache", "cache/", true, true}};
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    for (const char* locale : {"C", "C.UTF-8"}) {
        ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr) << locale;
        std::string wrong[4];
        {
            std::vector<std::jthread> threads;
            for (auto& answers : wrong)
                threads.emplace_back([&] {
                    for (int i = 0; i < 500 && answers.empty(); ++i)
                        answers = wrongAnswers(cases);
                });
        }
        for (const auto& answers : wrong)
            EXPECT_EQ(answers, "") << locale;
    }
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(::uselocale(nullptr), LC_GLOBAL_LOCALE) << "the thread's locale is restored";
}

} // namespace
} // namespace quillfen
