#include "app/LoginItem.h"

#include "TempDir.h"
#include "Version.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(LoginItem, TurnsOnAndOffThroughTheAutostartEntry) {
    TempDir dir;
    const auto entry = dir / "config/autostart/quillfen.desktop";
    LoginItem item("/opt/Quill Apps/bin/quillfen", QString::fromStdString(entry));
    EXPECT_FALSE(item.isEnabled());
    ASSERT_TRUE(item.setEnabled(true));
    ASSERT_TRUE(item.setEnabled(true)); // again: still one good entry
    EXPECT_TRUE(item.isEnabled());
    EXPECT_EQ(readFile(entry), std::string("[Desktop Entry]\n"
                                           "Type=Application\n"
                                           "Name=Quillfen\n"
                                           "Comment=Keep two folders in step\n"
                                           "Icon=") +
                                   kAppId +
                                   "\n"
                                   "Exec=\"/opt/Quill Apps/bin/quillfen\" --hidden\n"
                                   "Terminal=false\n"
                                   "X-GNOME-Autostart-enabled=true\n");
    ASSERT_TRUE(item.setEnabled(false));
    EXPECT_FALSE(item.isEnabled());
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_TRUE(item.setEnabled(false));

    // Quoting escapes ", `, $ and \ with a backslash and doubles "%"; the
    // value's own escaping then doubles every backslash.
    LoginItem odd(R"(/home/me/50% "odd"/$bin\quill`fen)", QString::fromStdString(entry));
    ASSERT_TRUE(odd.setEnabled(true));
    EXPECT_NE(
        readFile(entry).find(R"(Exec="/home/me/50%% \\"odd\\"/\\$bin\\\\quill\\`fen" --hidden)"
                             "\n"),
        std::string::npos)
        << readFile(entry);
}

TEST(LoginItem, HonoursTheDesktopsSwitchAndReportsAnEntryItCannotWrite) {
    TempDir dir;
    const auto entry = dir / "quillfen.desktop";
    LoginItem item("/usr/bin/quillfen", QString::fromStdString(entry));
    const std::pair<const char*, bool> entries[] = {
        {"[Desktop Entry]\nExec=quillfen\nHidden = true\n", false},
        {"[Desktop Entry]\nExec=quillfen\nX-GNOME-Autostart-enabled=false\n", false},
        // Keys of other groups do not count.
        {"[Desktop Entry]\nExec=quillfen\n[Desktop Action x]\nHidden=true\n", true},
    };
    for (const auto& [text, enabled] : entries) {
        writeFile(entry, text);
        EXPECT_EQ(item.isEnabled(), enabled) << text;
    }
    writeFile(entry, "[Desktop Entry]\nHidden=true\n");
    ASSERT_TRUE(item.setEnabled(true));
    EXPECT_TRUE(item.isEnabled());

    writeFile(dir / "autostart", "a file where the folder belongs");
    LoginItem blocked("/usr/bin/quillfen", QString::fromStdString(dir / "autostart/q.desktop"));
    EXPECT_FALSE(blocked.setEnabled(true));
    EXPECT_FALSE(blocked.isEnabled());
    EXPECT_EQ(readFile(dir / "autostart"), "a file where the folder belongs");
}

} // namespace
} // namespace quillfen
