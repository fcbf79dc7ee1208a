#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace quillfen {

class AppViewModel;
class BadgedToolButton;
class StatusDot;

// The middle of the main window: the watch and schedule status lines, the
// four tools with their badges, and the run buttons.
class ControlsColumn : public QWidget {
    Q_OBJECT

public:
    explicit ControlsColumn(AppViewModel& viewModel, QWidget* parent = nullptr);

private:
    QWidget* makeStatusLine(QLabel* label, StatusDot* dot, const char* objectName);
    QPushButton* makeRunButton(QPushButton* button, const char* objectName);
    void connectTools();
    void showStatus();
    void showTools();
    void showRunState();
    void applyPalette();

    AppViewModel& viewModel_;
    StatusDot* watchDot_;
    QLabel* watchLabel_;
    QWidget* watchLine_;
    StatusDot* nextDot_;
    QLabel* nextLabel_;
    QWidget* nextLine_;
    BadgedToolButton* exclusionsButton_;
    BadgedToolButton* profilesButton_;
    BadgedToolButton* scheduleButton_;
    BadgedToolButton* cleanSourceButton_;
    QPushButton* startSyncButton_;
    QPushButton* previewButton_;
    QPushButton* cancelButton_;
};

} // namespace quillfen
