#pragma once

#include "ui/TintedSheet.h"

#ifndef Q_MOC_RUN
#include "records/Uuid.h"

#include <optional>
#endif

class QListView;
class QStackedWidget;
class QToolButton;

namespace quillfen {

class AppViewModel;
class EmptyState;
class HistoryDetailPanel;
class HistoryListModel;

// Every stored run, newest first, beside the details of the chosen one; its
// header clears the whole history after asking. Follows the stored history
// while open, so a run that ends meanwhile appears at the top.
class HistorySheet : public TintedSheet {
    Q_OBJECT

public:
    explicit HistorySheet(AppViewModel& viewModel, QWidget* parent = nullptr);

private:
    void render();
    void showRun(int row);
    void confirmClearAll();

    AppViewModel& viewModel_;
    HistoryListModel* model_;
    QListView* list_;
    HistoryDetailPanel* detail_;
    EmptyState* empty_;
    QStackedWidget* pages_;
    QToolButton* clearAllButton_;
    // The run the user chose; the newest run while none is chosen.
    std::optional<Uuid> selected_;
};

} // namespace quillfen
