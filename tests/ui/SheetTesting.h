#pragma once

#include "WindowHarness.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <QWidget>

#include <stdexcept>
#include <string>

namespace quillfen::test {

// The widget named `name` inside `root`; the test fails without it.
template <typename Widget> Widget& child(const QWidget* root, const char* name) {
    auto* widget = root ? root->findChild<Widget*>(QString::fromLatin1(name)) : nullptr;
    if (!widget)
        throw std::runtime_error(std::string("no widget named ") + name);
    return *widget;
}

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
