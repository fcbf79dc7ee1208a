#include "ui/FolderPicker.h"

#include "app/AppViewModel.h"
#include "ui/ElidedLabel.h"
#include "ui/NamedColors.h"
#include "ui/PaletteFollower.h"
#include "ui/QuietLabel.h"
#include "ui/SymbolIcons.h"
#include "ui/Typography.h"
#include "ui/WindowTexts.h"

#include <QDragEnterEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillfen {
namespace {

QString roleName(FolderPicker::Role role) {
    return role == FolderPicker::Role::source ? QStringLiteral("Source")
                                              : QStringLiteral("Destination");
}

} // namespace

FolderPicker::FolderPicker(AppViewModel& viewModel, Role role, QWidget* parent)
    : QFrame(parent), viewModel_(viewModel), role_(role), iconLabel_(new QLabel),
      roleLabel_(new QuietLabel(roleName(role))), nameLabel_(new ElidedLabel),
      pathLabel_(new ElidedLabel), statsLabel_(new QuietLabel),
      chooseButton_(new QPushButton(QStringLiteral("Choose\u2026"))) {
    const bool isSource = role == Role::source;
    setObjectName(isSource ? QStringLiteral("sourcePickerFrame")
                           : QStringLiteral("destinationPickerFrame"));
    // The Choose… buttons of both pickers share their text; the picker's
    // name tells them apart on the accessibility bus.
    setAccessibleName(roleName(role));
    setAcceptDrops(true);
    setFrameShape(QFrame::StyledPanel);

    roleLabel_->setObjectName(QStringLiteral("folderRoleLabel"));
    applyTextStyle(roleLabel_, TextStyle::caption);
    // One line each, shortened in the middle: wrapped lines would make the
    // window's minimum height depend on its width, which a top-level window
    // does not follow, and the column's texts would be squeezed.
    nameLabel_->setObjectName(QStringLiteral("folderNameLabel"));
    pathLabel_->setObjectName(QStringLiteral("folderPathLabel"));
    applyTextStyle(pathLabel_, TextStyle::caption);
    statsLabel_->setObjectName(QStringLiteral("folderStatsLabel"));
    applyTextStyle(statsLabel_, TextStyle::caption2);
    chooseButton_->setObjectName(QStringLiteral("chooseButton"));
    chooseButton_->setAccessibleDescription(isSource
                                                ? QStringLiteral("Choose the source folder")
                                                : QStringLiteral("Choose the destination folder"));
    connect(chooseButton_, &QPushButton::clicked, &viewModel_,
            isSource ? &AppViewModel::chooseSource : &AppViewModel::chooseDestination);

    auto* top = new QHBoxLayout;
    top->addWidget(roleLabel_, 1, Qt::AlignBottom);
    top->addWidget(chooseButton_);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addLayout(top);
    texts->addWidget(nameLabel_);
    texts->addWidget(pathLabel_);
    texts->addWidget(statsLabel_);
    auto* layout = new QHBoxLayout(this);
    layout->setSpacing(12);
    layout->addWidget(iconLabel_, 0, Qt::AlignTop);
    layout->addLayout(texts, 1);

    if (isSource) {
        connect(&viewModel_, &AppViewModel::sourcePathChanged, this, &FolderPicker::refresh);
        connect(&viewModel_, &AppViewModel::sourceStatsChanged, this, &FolderPicker::refresh);
        connect(&viewModel_, &AppViewModel::isComputingSourceStatsChanged, this,
                &FolderPicker::refresh);
    } else {
        connect(&viewModel_, &AppViewModel::destinationPathChanged, this, &FolderPicker::refresh);
        connect(&viewModel_, &AppViewModel::destStatsChanged, this, &FolderPicker::refresh);
        connect(&viewModel_, &AppViewModel::isComputingDestStatsChanged, this,
                &FolderPicker::refresh);
    }
    followPalette(this, [this] { refresh(); });
}

QString FolderPicker::path() const {
    return role_ == Role::source ? viewModel_.sourcePath() : viewModel_.destinationPath();
}

void FolderPicker::refresh() {
    const QString folder = path();
    const QColor secondary = secondaryTextColor();
    const QColor accent = accentColor();
    iconLabel_->setPixmap(
        symbolIcon(isTargeted_ ? u"folder.badge.plus" : u"folder", isTargeted_ ? accent : secondary)
            .pixmap(QSize(32, 32), devicePixelRatioF()));
    if (folder.isEmpty()) {
        nameLabel_->setFullText(isTargeted_ ? QStringLiteral("Drop folder here")
                                            : QStringLiteral("No folder selected"));
        applyTextColor(nameLabel_, isTargeted_ ? accent : secondary);
        applyTextStyle(nameLabel_, TextStyle::body);
    } else {
        nameLabel_->setFullText(folderName(folder));
        applyTextColor(nameLabel_, QGuiApplication::palette().color(QPalette::WindowText));
        applyTextStyle(nameLabel_, TextStyle::headline);
    }
    pathLabel_->setFullText(folder);
    applyTextColor(pathLabel_, secondary);
    pathLabel_->setVisible(!folder.isEmpty());

    const bool computing = role_ == Role::source ? viewModel_.isComputingSourceStats()
                                                 : viewModel_.isComputingDestStats();
    const auto& stats = role_ == Role::source ? viewModel_.sourceStats() : viewModel_.destStats();
    QString statsText;
    if (computing)
        statsText = QStringLiteral("Calculating\u2026");
    else if (stats)
        statsText = QString::fromStdString(stats->summary());
    statsLabel_->setText(statsText);
    statsLabel_->setVisible(!folder.isEmpty() && !statsText.isEmpty());
}

void FolderPicker::setTargeted(bool targeted) {
    if (std::exchange(isTargeted_, targeted) == targeted)
        return;
    refresh();
    update();
}

void FolderPicker::dragEnterEvent(QDragEnterEvent* event) {
    if (!event->mimeData()->hasUrls())
        return;
    event->acceptProposedAction();
    setTargeted(true);
}

void FolderPicker::dragLeaveEvent(QDragLeaveEvent*) {
    setTargeted(false);
}

void FolderPicker::dropEvent(QDropEvent* event) {
    setTargeted(false);
    const auto urls = event->mimeData()->urls();
    if (!urls.isEmpty()) {
        if (role_ == Role::source)
            viewModel_.dropSource(urls.front());
        else
            viewModel_.dropDestination(urls.front());
    }
    // Reported as taken whatever it was, as the file manager expects of a
    // drop target that showed itself ready.
    event->acceptProposedAction();
}

void FolderPicker::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (!isTargeted_)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(accentColor(), 2, Qt::DashLine);
    painter.setPen(pen);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 8, 8);
}

} // namespace quillfen
