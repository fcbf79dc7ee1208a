#include "cli/ProfileLookup.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace quillfen::cli {
namespace {

ExclusionPattern rule(const std::string& pattern, bool enabled) {
    return {Uuid::random(), pattern, pattern, enabled, false};
}

SyncProfile profile(const std::string& name, std::vector<ExclusionPattern> rules) {
    SyncProfile value;
    value.name = name;
    value.source = "/src/" + name;
    value.destination = "/dst/" + name;
    value.excludePatterns = std::move(rules);
    return value;
}

TEST(ProfileLookupTest, FindsTheFirstProfileOfThatName) {
    test::TempDir dir;
    StorageService store(dir.path());
    auto mirror = profile("Photos", {rule("*.raw", false), rule("*.xmp", true), rule("a", true)});
    mirror.deleteExtras = true;
    mirror.preserveRoot = true;
    mirror.bandwidthLimit = 256;
    auto twin = profile("Photos", {});
    twin.source = "/elsewhere";
    store.setProfiles({profile("Music", {rule("*.m3u", true)}), mirror, twin});

    const auto found = lookupProfile(store, "Photos");
    ASSERT_TRUE(found.selection);
    EXPECT_EQ(found.errorMessage, "");
    EXPECT_EQ(found.selection->source, "/src/Photos");
    EXPECT_EQ(found.selection->destination, "/dst/Photos");
    EXPECT_TRUE(found.selection->options.deleteExtras);
    EXPECT_TRUE(found.selection->options.preserveRoot);
    EXPECT_EQ(found.selection->options.bandwidthLimit, 256);
    EXPECT_FALSE(found.selection->options.verify);
    EXPECT_EQ(found.selection->options.excludePatterns, (std::vector<std::string>{"*.xmp", "a"}));

    const auto missing = lookupProfile(store, "photos");
    EXPECT_FALSE(missing.selection);
    EXPECT_EQ(missing.errorMessage, "No profile named photos");
}

TEST(ProfileLookupTest, AnEmptyRuleListTakesTheStoredGlobalList) {
    test::TempDir dir;
    StorageService store(dir.path());
    store.setProfiles({profile("Bare", {})});
    const auto builtIn = lookupProfile(store, "Bare");
    ASSERT_TRUE(builtIn.selection);
    EXPECT_EQ(builtIn.selection->options.excludePatterns,
              (std::vector<std::string>{".DS_Store", "._*", ".Spotlight-V100", ".Trashes",
                                        ".fseventsd"}));

    store.setExclusionPatterns({rule("*.bak", true), rule("*.old", false)});
    EXPECT_EQ(lookupProfile(store, "Bare").selection->options.excludePatterns,
              std::vector<std::string>{"*.bak"});
}

} // namespace
} // namespace quillfen::cli
