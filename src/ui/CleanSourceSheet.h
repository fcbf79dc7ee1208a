#pragma once

#include "ui/TintedSheet.h"

#include <memory>

class QLabel;
class QPushButton;
class QStackedWidget;
class QTreeView;

namespace quillfen {

class AppViewModel;
class CleanItemModel;
class CleanSourceSession;

// Lists what the active exclusion rules match in the source folder and,
// after one confirmation, moves all of it to the Trash; then tells how many
// items moved and how many could not. Scans afresh at each opening.
class CleanSourceSheet : public TintedSheet {
    Q_OBJECT

public:
    explicit CleanSourceSheet(AppViewModel& viewModel, QWidget* parent = nullptr);
    ~CleanSourceSheet() override;

protected:
    void paletteChanged() override;

private:
    QWidget* makeScanningPage();
    QWidget* makeOutcomePage();
    QWidget* makeListPage();
    QLayout* makeFooter();
    void render();
    void renderOutcome(int moved, int failed);
    void confirmMove();

    std::unique_ptr<CleanSourceSession> session_;
    CleanItemModel* model_;
    QStackedWidget* pages_;
    QWidget* scanningPage_;
    QWidget* outcomePage_;
    QWidget* listPage_;
    QWidget* emptyPage_;
    QLabel* outcomeIcon_;
    QLabel* movedLabel_;
    QLabel* failedLabel_;
    QTreeView* list_;
    // The note, "Cancel" and the move button, offered once matches are listed.
    QWidget* moveOffer_;
    QPushButton* moveButton_;
    QPushButton* doneButton_;
};

} // namespace quillfen
