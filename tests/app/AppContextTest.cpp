#include "app/AppContext.h"

#include "PrivateSessionBus.h"
#include "ScriptedDialogs.h"
#include "app/AppShell.h"
#include "app/AppViewModel.h"
#include "cleanup/TrashService.h"
#include "storage/StorageService.h"

#include <QTest>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

// The production wiring, over this test process's own home folder.
TEST(AppContextTest, WiresTheProcessWideStoreAndLaunches) {
    test::PrivateSessionBus bus;
    test::ScriptedDialogs dialogs;
    AppContext context(dialogs, bus.connect(), QStringLiteral("/usr/bin/quillfen"));
    const auto container = StorageService::shared().container();
    EXPECT_EQ(container,
              std::filesystem::path(qgetenv("XDG_DATA_HOME").toStdString()) / "Quillfen");
    EXPECT_TRUE(std::filesystem::is_directory(container));
    EXPECT_EQ(context.trash().homeTrash(), container.parent_path() / "Trash");
    EXPECT_EQ(context.viewModel().excludePatterns().size(), 12u);
    context.shell().launch();
    EXPECT_TRUE(QTest::qWaitFor([&] { return context.viewModel().showOnboarding(); }, 2000));
    context.shell().terminate();
}

} // namespace
} // namespace quillfen
