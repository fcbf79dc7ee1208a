#include "engine/SyncEngine.h"

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
