#pragma once

#include "ui/SheetDialog.h"

class QFrame;
class QLabel;
class QListView;
class QPushButton;
class QStackedWidget;

namespace quillfen {

class AppViewModel;
class PreviewItemDelegate;
class PreviewListModel;

// The plan of the latest preview: how many files it would copy and delete,
// every planned action in a list, and "Sync Now" to run it at once.
class PreviewSheet : public SheetDialog {
    Q_OBJECT

public:
    explicit PreviewSheet(AppViewModel& viewModel, QWidget* parent = nullptr);

    QPushButton* syncNowButton() const { return syncNowButton_; }
    QListView* listView() const { return list_; }

private:
    QWidget* makeEmptyPage();
    QWidget* makePlanPage();
    QFrame* makeCard(QLabel* count, const QString& caption, QLabel* bytes);
    void refresh();
    void syncNow();
    void applyPalette();

    AppViewModel& viewModel_;
    QPushButton* syncNowButton_;
    QLabel* emptyIcon_;
    QLabel* emptyLabel_;
    QLabel* copyCountLabel_;
    QLabel* copyBytesLabel_;
    QLabel* deleteCountLabel_;
    QFrame* deleteCard_ = nullptr;
    PreviewListModel* model_;
    QListView* list_;
    PreviewItemDelegate* delegate_;
    QWidget* emptyPage_;
    QWidget* planPage_;
    QStackedWidget* pages_;
};

} // namespace quillfen
