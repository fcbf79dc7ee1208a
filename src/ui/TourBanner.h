#pragma once

#include "app/Sheet.h"

#include <QFrame>

#include <optional>

class QLabel;
class QPushButton;

namespace quillfen {

class AppViewModel;
class SheetDialog;

// The feature tour's banner: "Step N of 6", the step's title and text, and
// the buttons that skip the tour or go on with it. The main window's banner
// shows on every step; a sheet's banner only on the step that opened that
// sheet, where the sheet blocks the window's banner.
class TourBanner : public QFrame {
    Q_OBJECT

public:
    // `sheet` is the sheet the banner sits on; none for the main window.
    TourBanner(AppViewModel& viewModel, std::optional<Sheet> sheet, QWidget* parent = nullptr);

    // Puts a banner at the top of `dialog`, the sheet opened for `sheet`.
    static void addTo(SheetDialog& dialog, AppViewModel& viewModel, Sheet sheet);

private:
    void render();
    void next();

    AppViewModel& viewModel_;
    std::optional<Sheet> sheet_;
    QLabel* stepLabel_;
    QLabel* titleLabel_;
    QLabel* bodyLabel_;
    QPushButton* skipButton_;
    QPushButton* nextButton_;
};

} // namespace quillfen
