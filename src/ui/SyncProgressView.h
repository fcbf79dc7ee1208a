#pragma once

#include <QWidget>

class QLabel;

namespace quillfen {

class AppViewModel;

// The main window's progress column: what the current or last run is doing
// or did, from the view model's syncProgress and lastResult.
class SyncProgressView : public QWidget {
    Q_OBJECT

public:
    explicit SyncProgressView(AppViewModel& viewModel, QWidget* parent = nullptr);

private:
    AppViewModel& viewModel_;
    QLabel* statusLabel_;
};

} // namespace quillfen
