#pragma once

#include "AppHarness.h"
#include "app/AppShell.h"
#include "ui/MainWindow.h"
#include "ui/SheetDialog.h"
#include "ui/SheetHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>
#include <memory>

// Texts in failure messages as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quillfen::test {

// The widget named `name` inside `root`; the test fails without it.
template <typename Widget> Widget& child(const QWidget* root, const char* name) {
    auto* widget = root ? root->findChild<Widget*>(QString::fromLatin1(name)) : nullptr;
    if (!widget)
        throw std::runtime_error(std::string("no widget named ") + name);
    return *widget;
}

// The main window over the controller's harness, with shortened delays,
// shown on the offscreen platform.
class WindowHarness : public AppHarness {
public:
    WindowHarness()
        : viewModel_(make()), shell_(viewModel_, bookmarks(), notifications(), defaults(),
                                     std::chrono::milliseconds(50)) {}

    MainWindow& show() {
        MainWindowTiming timing;
        timing.openedDelay = std::chrono::milliseconds(20);
        timing.sheetSizeSaveDelay = std::chrono::milliseconds(60);
        window_ = std::make_unique<MainWindow>(viewModel_, shell_, defaults(), timing);
        window_->show();
        (void)QTest::qWaitForWindowExposed(window_.get());
        return *window_;
    }

    AppViewModel& viewModel() { return viewModel_; }
    AppShell& shell() { return shell_; }
    MainWindow& window() { return *window_; }

    // The widget of the window named `name`; the test fails without it.
    template <typename Widget> Widget& find(const char* name) const {
        return child<Widget>(window_.get(), name);
    }

    SheetDialog* sheet(Sheet sheet) const { return window_->sheetHost().openSheet(sheet); }

    // The text of the label `name`, empty while the label is hidden.
    QString text(const char* name) const {
        const auto& label = find<QLabel>(name);
        return label.isVisibleTo(window_.get()) ? label.text() : QString();
    }

    // Gives the window the keyboard, as a window manager does once a sheet
    // over it closes (offscreen there is none).
    void activate() {
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }

    void press(QKeyCombination keys) {
        activate();
        QTest::keyClick(window_.get(), keys.key(), keys.keyboardModifiers());
    }

private:
    AppViewModel& viewModel_;
    AppShell shell_;
    std::unique_ptr<MainWindow> window_;
};

// A test over the shown main window.
class WindowTest : public ::testing::Test {
protected:
    WindowTest() { harness.show(); }

    WindowHarness harness;
    AppViewModel& viewModel = harness.viewModel();
};

// Records the locations QDesktopServices was asked to open.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }
};

// Shows the main window, then the sheet of `sheet` over it.
inline SheetDialog* showSheet(WindowHarness& harness, Sheet sheet) {
    harness.show();
    harness.viewModel().setShown(sheet, true);
    return harness.sheet(sheet);
}

// The confirmation open over `parent`, or null.
inline QMessageBox* confirmation(const QWidget* parent) {
    for (auto* box : parent->findChildren<QMessageBox*>(QStringLiteral("confirmationMessageBox")))
        if (box->isVisible())
            return box;
    return nullptr;
}

// Answers the confirmation over `parent` with the button named `button`
// ("confirmButton" or "cancelButton") and lets it go away.
inline void answer(const QWidget* parent, const char* button) {
    QMessageBox* box = confirmation(parent);
    if (!box)
        throw std::runtime_error("no confirmation is open");
    child<QAbstractButton>(box, button).click();
    QTest::qWait(0);
}

} // namespace quillfen::test
