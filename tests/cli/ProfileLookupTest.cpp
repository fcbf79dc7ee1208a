#include "cli/ProfileLookup.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace quillfen::cli {
namespace {

ExclusionPattern rule(const std::string& pattern, bool enabled) {
    return {Uuid::random(), pattern, pattern, enabled, false};
}

SyncProfile profile(const std::string& name, const std::string& source,
                    std::vector<ExclusionPattern> rules) {
    SyncProfile value;
    value.name = name;
    value.source = source;
    value.destination = "/dst/" + name;
    value.excludePatterns = std::move(rules);
    return value;
}

TEST(ProfileLookupTest, FindsTheFirstProfileOfThatNameWithItsOptions) {
    test::TempDir dir;
    StorageService store(dir.path());
    auto mirror = profile("Photos", "/first", {rule("*.raw", false), rule("*.xmp", true)});
    mirror.deleteExtras = true;
    mirror.preserveRoot = true;
    mirror.bandwidthLimit = 256;
    store.setProfiles({profile("Bare", "/b", {}), mirror, profile("Photos", "/second", {})});

    const auto found = lookupProfile(store, "Photos");
    ASSERT_TRUE(found.selection);
    EXPECT_EQ(found.errorMessage, "");
    EXPECT_EQ(found.selection->source, "/first");
    EXPECT_EQ(found.selection->destination, "/dst/Photos");
    const auto& options = found.selection->options;
    EXPECT_TRUE(options.deleteExtras && options.preserveRoot && !options.verify);
    EXPECT_EQ(options.bandwidthLimit, 256);
    EXPECT_EQ(options.excludePatterns, std::vector<std::string>{"*.xmp"});
    EXPECT_EQ(lookupProfile(store, "photos").errorMessage, "No profile named photos");

    // An empty rule list takes the stored global list.
    EXPECT_EQ(lookupProfile(store, "Bare").selection->options.excludePatterns,
              (std::vector<std::string>{".DS_Store", "._*", ".Spotlight-V100", ".Trashes",
                                        ".fseventsd"}));
    store.setExclusionPatterns({rule("*.bak", true), rule("*.old", false)});
    EXPECT_EQ(lookupProfile(store, "Bare").selection->options.excludePatterns,
              std::vector<std::string>{"*.bak"});
}

} // namespace
} // namespace quillfen::cli
