#include "engine/SyncEngine.h"

#include <atomic>
#include <clocale>
#include <gtest/gtest.h>
#include <locale.h>
#include <string>
#include <thread>
#include <vector>

namespace quillfen {
namespace {

struct Case {
    std::string path;
    std::string pattern;
    bool isFolder;
    bool excluded;
};

void expectAll(const std::vector<Case>& cases, const std::string& context = "") {
    for (const auto& c : cases)
        EXPECT_EQ(SyncEngine::isExcluded(c.path, {c.pattern},
                                         c.isFolder ? ItemKind::folder : ItemKind::file),
                  c.excluded)
            << c.path << " ~ " << c.pattern << ' ' << context;
}

TEST(ExclusionMatching, MatchesTheWholePathOrTheLastNameAndSlashMeansFolder) {
    expectAll({
        {"a/b/.DS_Store", ".DS_Store", false, true},
        {"photos/._IMG_1.jpg", "._*", false, true},
        {"work/x.tmp", "*.tmp", false, true},
        {"work/.x.tmp", "*.tmp", false, false}, // a leading period is matched only literally
        {"a/.env", "*", false, false},
        {"docs/a.md", "docs/*.md", false, true},
        {"x/docs/a.md", "docs/*.md", false, false},
        {"a/b/c", "a*c", false, false}, // no wildcard crosses a slash
        {"a/.b/c", "a/*/c", false, false},
        {"Notes.TXT", "*.txt", false, false}, // case is significant
        {"x.log.gz", "*.log", false, false},  // anchored at both ends
        {"dir/\xff\xfe.tmp", "*.tmp", false, true},
        {"\xff", "\xff", false, true},
        {"line\nbreak", "line?break", false, true},
        // A pattern ending in a slash names folders only.
        {"src/build", "build/", true, true},
        {"src/build", "build/", false, false},
        {"src/build", "src/build/", true, true},
        {"lib/src/build", "src/build/", true, false},
        {"out-3", "out-*/", true, true},
        {"a", "/", true, false},
        {"build", "build", false, true}, // without the slash files match too
    });
    EXPECT_FALSE(SyncEngine::isExcluded("a/b", {}, ItemKind::file));
    EXPECT_TRUE(SyncEngine::isExcluded("x.log", {"*.tmp", "*.log"}, ItemKind::file))
        << "any pattern";
}

TEST(ExclusionMatching, MatchesCharactersNotBytesWhateverTheProcessLocale) {
    const std::string eAcute = "\xc3\xa9"; // two bytes, one character
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    for (const char* locale : {"C", "C.UTF-8"}) {
        ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr) << locale;
        expectAll({{eAcute, "?", false, true},
                   {eAcute, "???", false, false},
                   {"dir/caf" + eAcute, "dir/caf?", false, true},
                   {eAcute, "[" + eAcute + "]", false, true},
                   {eAcute, "[a-z]", false, false}},
                  locale);
    }
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(::uselocale(nullptr), LC_GLOBAL_LOCALE) << "the thread's locale is restored";
}

TEST(ExclusionMatching, GivesTheSameAnswersOnManyThreadsAtOnce) {
    const std::vector<std::string> patterns = {"caf?", "*.tmp", "cache/"};
    std::vector<std::thread> threads;
    std::atomic<int> wrong = 0;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                if (!SyncEngine::isExcluded("a/caf\xc3\xa9", patterns, ItemKind::file) ||
                    SyncEngine::isExcluded("a/cafe.txt", patterns, ItemKind::file) ||
                    !SyncEngine::isExcluded("b/cache", patterns, ItemKind::folder))
                    ++wrong;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, 0);
}

} // namespace
} // namespace quillfen
