#include "engine/TreeWalker.h"

#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quillfen {
namespace {

namespace fs = std::filesystem;

// Deletes every other item of the root as soon as the first one is reported,
// as an editor or a version-control tool might while a scan runs.
class DeletingVisitor : public TreeWalker::Visitor {
public:
    explicit DeletingVisitor(fs::path root) : root_(std::move(root)) {}

    TreeWalker::Step visit(const TreeWalker::Item& item) override {
        visited.push_back(item.relativePath);
        if (visited.size() == 1) {
            for (const auto& entry : fs::directory_iterator(root_))
                if (entry.path().filename() != item.relativePath)
                    fs::remove_all(entry.path());
        }
        return TreeWalker::Step::proceed;
    }
    void folderUnreadable(const std::string& path, int) override { problems.push_back(path); }
    TreeWalker::Step attributesUnreadable(const std::string& path, int) override {
        problems.push_back(path);
        return TreeWalker::Step::proceed;
    }

    std::vector<std::string> visited;
    std::vector<std::string> problems;

private:
    fs::path root_;
};

TEST(TreeWalker, PassesOverItemsThatVanishDuringTheWalk) {
    test::TempDir dir;
    for (const char* file : {"a/1", "b/2", "c", "d", "e/f/3"})
        dir.write(file, "x");
    DeletingVisitor visitor(dir.path());
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

} // namespace
} // namespace quillfen
