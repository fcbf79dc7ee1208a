#pragma once

#include <QDialog>
#include <QString>

class QHBoxLayout;
class QLabel;
class QToolButton;
class QVBoxLayout;

namespace quillfen {

// The frame every sheet shares: a header with the title, an optional
// subtitle, room for the sheet's own header controls and a close button,
// then a separator and the sheet's content. Esc, the close button and the
// window's own close all reject the dialog.
//
// A sheet is never shown by itself: SheetHost opens it (window-modal, with
// open()) while its flag on the view model is set, clears the flag however it
// closes, and remembers its size. A subclass only fills contentLayout() and,
// if it has any, adds its header controls with addHeaderWidget().
class SheetDialog : public QDialog {
    Q_OBJECT

public:
    explicit SheetDialog(const QString& title, QWidget* parent = nullptr);

    void setSubtitle(const QString& subtitle);
    // Placed left of the close button, in the order added.
    void addHeaderWidget(QWidget* widget);
    QVBoxLayout* contentLayout() const { return contentLayout_; }

    QLabel* titleLabel() const { return titleLabel_; }
    QLabel* subtitleLabel() const { return subtitleLabel_; }
    QToolButton* closeButton() const { return closeButton_; }

private:
    void applyPalette();

    QLabel* titleLabel_;
    QLabel* subtitleLabel_;
    QHBoxLayout* headerControls_;
    QToolButton* closeButton_;
    QVBoxLayout* contentLayout_;
};

} // namespace quillfen
