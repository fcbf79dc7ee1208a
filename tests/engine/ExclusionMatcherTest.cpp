#include "engine/ExclusionMatcher.h"

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

bool excludedFile(const std::string& path, const std::vector<std::string>& patterns) {
    return SyncEngine::isExcluded(path, patterns, false);
}

bool excludedFolder(const std::string& path, const std::vector<std::string>& patterns) {
    return SyncEngine::isExcluded(path, patterns, true);
}

TEST(ExclusionMatching, FollowsThePathAndNameModes) {
    EXPECT_TRUE(excludedFile("a/b/.DS_Store", {".DS_Store"}));
    EXPECT_TRUE(excludedFile("photos/._IMG_1.jpg", {"._*"}));
    EXPECT_TRUE(excludedFile("work/x.tmp", {"*.tmp"}));
    EXPECT_FALSE(excludedFile("work/.x.tmp", {"*.tmp"}));
    EXPECT_TRUE(excludedFolder("web/node_modules", {"node_modules"}));
    EXPECT_TRUE(excludedFile("a/prefix-1", {"prefix-*"}));
    EXPECT_TRUE(excludedFile("docs/a.md", {"docs/*.md"}));
    EXPECT_FALSE(excludedFile("x/docs/a.md", {"docs/*.md"}));
    EXPECT_TRUE(excludedFile("a/b.txt", {"*"}));
    EXPECT_FALSE(excludedFile("a/.env", {"*"}));
}

TEST(ExclusionMatching, AppliesTheGlobDialect) {
    EXPECT_FALSE(excludedFile("a/b", {}));
    EXPECT_FALSE(excludedFile("Notes.TXT", {"*.txt"})) << "case is significant";
    EXPECT_FALSE(excludedFile("notes.txt", {"NOTES.txt"}));
    EXPECT_TRUE(excludedFile("file7", {"file[0-9]"}));
    EXPECT_FALSE(excludedFile("filex", {"file[0-9]"}));
    EXPECT_TRUE(excludedFile("filex", {"file[!0-9]"}));
    EXPECT_TRUE(excludedFile("filex", {"file[^0-9]"}));
    EXPECT_TRUE(excludedFile("a*b", {"a\\*b"}));
    EXPECT_FALSE(excludedFile("axb", {"a\\*b"})) << "escaping stays on";
    EXPECT_FALSE(excludedFile("a/b/c", {"a*c"})) << "no wildcard crosses a slash";
    EXPECT_TRUE(excludedFile("a/b/c", {"a/*/c"}));
    EXPECT_FALSE(excludedFile("a/.b/c", {"a/*/c"})) << "a period after a slash is literal";
    EXPECT_TRUE(excludedFile("a/.b/c", {"a/.*/c"}));
    EXPECT_FALSE(excludedFile(".hidden", {"?hidden"}));
    EXPECT_FALSE(excludedFile(".hidden", {"[.]hidden"}));
    EXPECT_TRUE(excludedFile("x.log", {"*.tmp", "*.log"})) << "any pattern in the list";
    EXPECT_FALSE(excludedFile("x.log.gz", {"*.log"})) << "anchored at both ends";
}

TEST(ExclusionMatching, PatternEndingInSlashNamesFoldersOnly) {
    EXPECT_TRUE(excludedFolder("build", {"build/"}));
    EXPECT_TRUE(excludedFolder("src/build", {"build/"}));
    EXPECT_FALSE(excludedFile("build", {"build/"}));
    EXPECT_FALSE(excludedFile("src/build", {"build/"}));
    EXPECT_TRUE(excludedFolder("src/build", {"src/build/"}));
    EXPECT_FALSE(excludedFolder("lib/src/build", {"src/build/"}));
    EXPECT_TRUE(excludedFolder("out-3", {"out-*/"}));
    EXPECT_FALSE(excludedFolder("a", {"/"}));
    EXPECT_TRUE(excludedFile("build", {"build"})) << "without the slash files match too";
}

TEST(ExclusionMatching, MatchesCharactersNotBytesWhateverTheProcessLocale) {
    const std::string eAcute = "\xc3\xa9"; // two bytes, one character
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    for (const char* locale : {"C", "C.UTF-8"}) {
        ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr) << locale;
        EXPECT_TRUE(excludedFile(eAcute, {"?"})) << locale;
        EXPECT_FALSE(excludedFile(eAcute, {"???"})) << locale;
        EXPECT_TRUE(excludedFile("caf" + eAcute + ".txt", {"caf?.txt"})) << locale;
        EXPECT_TRUE(excludedFile("dir/" + eAcute, {"dir/?"})) << locale;
        EXPECT_TRUE(excludedFile(eAcute, {"[" + eAcute + "]"})) << locale;
        EXPECT_FALSE(excludedFile(eAcute, {"[a-z]"})) << locale;
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
                if (!SyncEngine::isExcluded("a/caf\xc3\xa9", patterns, false) ||
                    SyncEngine::isExcluded("a/cafe.txt", patterns, false) ||
                    !SyncEngine::isExcluded("b/cache", patterns, true))
                    ++wrong;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, 0);
}

TEST(ExclusionMatching, ToleratesNamesThatAreNotUtf8) {
    EXPECT_TRUE(excludedFile("dir/\xff\xfe.tmp", {"*.tmp"}));
    EXPECT_TRUE(excludedFile("\xff", {"\xff"}));
    EXPECT_FALSE(excludedFile("\xff.txt", {"*.tmp"}));
    EXPECT_TRUE(excludedFile("line\nbreak", {"line?break"}));
}

TEST(ExclusionMatching, PreparedMatcherAgreesWithThePredicate) {
    const std::vector<std::string> patterns = {"*.o", "cache/", "docs/*.md"};
    const ExclusionMatcher matcher(patterns);
    EXPECT_FALSE(matcher.isEmpty());
    EXPECT_TRUE(ExclusionMatcher({}).isEmpty());
    for (const std::string path : {"a.o", "x/cache", "docs/r.md", "r.md", "cache.o.c"}) {
        for (bool isDirectory : {false, true})
            EXPECT_EQ(matcher.matches(path, isDirectory),
                      SyncEngine::isExcluded(path, patterns, isDirectory))
                << path;
    }
}

} // namespace
} // namespace quillfen
