#pragma once

#include <QWidget>

class QLabel;
class QMenu;
class QPushButton;

namespace quillfen {

class AppViewModel;
class StatusDot;

// The top of the main window: the application's icon, name and tagline, the
// last run's badge, and the History, Logs and Backup controls.
class HeaderBar : public QWidget {
    Q_OBJECT

public:
    explicit HeaderBar(AppViewModel& viewModel, QWidget* parent = nullptr);

private:
    QPushButton* makeButton(QPushButton* button, const QString& symbol, const char* objectName);
    void showLastResult();
    void applyPalette();

    AppViewModel& viewModel_;
    QLabel* taglineLabel_;
    QWidget* badge_;
    StatusDot* badgeDot_;
    QLabel* badgeLabel_;
    QPushButton* historyButton_;
    QPushButton* logsButton_;
    QMenu* backupMenu_;
    QPushButton* backupButton_;
};

} // namespace quillfen
