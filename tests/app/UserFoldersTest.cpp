#include "TempDir.h"
#include "TestEnvironment.h"
#include "app/LoginItem.h"
#include "app/PathText.h"
#include "app/SingleInstanceGuard.h"
#include "storage/StorageService.h"

#include <QDir>

#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillfen {
namespace {

TEST(UserFolders, FollowTheXdgVariablesAndIgnoreUnusableValues) {
    const test::TempDir runtime;
    const std::string home = std::getenv("HOME");
    const std::string socket = "/quillfen-" + std::to_string(::getuid()) + ".socket";
    const auto container = [] {
        return StorageService::defaultContainer().string();
    };
    const auto loginEntry = [] {
        return LoginItem::defaultEntryPath().toStdString();
    };
    const auto instanceSocket = [] {
        return SingleInstanceGuard::defaultSocketPath().toStdString();
    };
    struct Case {
        const char* variable;
        std::optional<std::string> value;
        std::function<std::string()> folder;
        std::string expected;
    };
    const Case cases[] = {
        {"XDG_DATA_HOME", "/data/home", container, "/data/home/Quillfen"},
        // A relative value is not allowed by the XDG rules.
        {"XDG_DATA_HOME", "relative", container, home + "/.local/share/Quillfen"},
        {"XDG_DATA_HOME", std::nullopt, container, home + "/.local/share/Quillfen"},
        {"XDG_CONFIG_HOME", "/config/home", loginEntry, "/config/home/autostart/quillfen.desktop"},
        {"XDG_RUNTIME_DIR", runtime.path().string(), instanceSocket,
         runtime.path().string() + "/quillfen.socket"},
        {"XDG_RUNTIME_DIR", std::nullopt, instanceSocket, QDir::tempPath().toStdString() + socket},
        {"XDG_RUNTIME_DIR", "/no/such/folder", instanceSocket,
         QDir::tempPath().toStdString() + socket},
    };
    for (const auto& c : cases) {
        const test::ScopedEnv variable(c.variable, c.value);
        EXPECT_EQ(c.folder(), c.expected) << c.variable << "=" << c.value.value_or("(unset)");
    }
}

} // namespace
} // namespace quillfen
