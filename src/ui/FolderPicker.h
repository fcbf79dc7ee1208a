#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

namespace quillfen {

class AppViewModel;
class ElidedLabel;

// One folder of the pair: its name, full path and statistics, a "Choose…"
// button, and a drop target for a folder dragged from the file manager.
// The only state of its own is whether something is being dragged over it.
class FolderPicker : public QFrame {
    Q_OBJECT

public:
    enum class Role { source, destination };

    FolderPicker(AppViewModel& viewModel, Role role, QWidget* parent = nullptr);

    bool isTargeted() const { return isTargeted_; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString path() const;
    void setTargeted(bool targeted);
    void refresh();

    AppViewModel& viewModel_;
    Role role_;
    bool isTargeted_ = false;
    QLabel* iconLabel_;
    QLabel* roleLabel_;
    ElidedLabel* nameLabel_;
    ElidedLabel* pathLabel_;
    QLabel* statsLabel_;
    QPushButton* chooseButton_;
};

} // namespace quillfen
