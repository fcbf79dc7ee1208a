#include "ui/ProfilesSheet.h"

#include "app/AppViewModel.h"
#include "app/PathText.h"
#include "app/TypedText.h"
#include "ui/Confirmation.h"
#include "ui/ElidedLabel.h"
#include "ui/EmptyState.h"
#include "ui/SheetParts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace quillfen {

ProfilesSheet::ProfilesSheet(AppViewModel& viewModel, QWidget* parent)
    : TintedSheet(QStringLiteral("Profiles"), parent), viewModel_(viewModel),
      nameEdit_(new QLineEdit),
      saveButton_(makeSheetButton(QStringLiteral("Save Current"), "saveCurrentButton")),
      duplicateLabel_(makeTextLabel(QString(), TextStyle::caption, Tint::red, "duplicateLabel")),
      pages_(new QStackedWidget), rowsArea_(new QScrollArea) {
    setObjectName(QStringLiteral("profilesSheetDialog"));
    setMinimumSize(420, 360);
    resize(480, 440);
    nameEdit_->setObjectName(QStringLiteral("profileNameLineEdit"));
    nameEdit_->setPlaceholderText(QStringLiteral("Profile name"));
    nameEdit_->setAccessibleName(QStringLiteral("Profile name"));
    // Return in the name field saves, as the button does.
    saveButton_->setDefault(true);
    duplicateLabel_->hide();

    auto* saveRow = new QHBoxLayout;
    saveRow->addWidget(nameEdit_, 1);
    saveRow->addWidget(saveButton_);

    auto* empty = new EmptyState(
        QStringLiteral("person.2.slash"), Tint::tertiary, QStringLiteral("No profiles yet"),
        QStringLiteral("Save your current settings as a profile for quick reuse."));
    empty->setObjectName(QStringLiteral("profilesEmptyWidget"));
    rowsArea_->setObjectName(QStringLiteral("profilesScrollArea"));
    rowsArea_->setWidgetResizable(true);
    rowsArea_->setFrameShape(QFrame::NoFrame);
    // No Tab stop of its own: each row's buttons are, and scroll into view.
    rowsArea_->setFocusPolicy(Qt::NoFocus);
    pages_->addWidget(empty);
    pages_->addWidget(rowsArea_);

    contentLayout()->addLayout(saveRow);
    contentLayout()->addWidget(duplicateLabel_);
    contentLayout()->addWidget(pages_, 1);

    connect(nameEdit_, &QLineEdit::textChanged, this, [this] {
        duplicateLabel_->hide();
        updateSaveButton();
    });
    connect(saveButton_, &QPushButton::clicked, this, &ProfilesSheet::save);
    connect(&viewModel_, &AppViewModel::sourcePathChanged, this, &ProfilesSheet::updateSaveButton);
    connect(&viewModel_, &AppViewModel::profilesChanged, this, &ProfilesSheet::render);
    updateSaveButton();
    render();
    // The sheet is mostly opened to name a new profile.
    nameEdit_->setFocus();
}

void ProfilesSheet::render() {
    const auto& profiles = viewModel_.profiles();
    setSubtitle(QString::number(profiles.size()) + QStringLiteral(" saved"));
    pages_->setCurrentIndex(profiles.empty() ? 0 : 1);
    auto* rows = new QWidget;
    rows->setObjectName(QStringLiteral("profileRowsWidget"));
    auto* layout = new QVBoxLayout(rows);
    for (const auto& profile : profiles)
        layout->addWidget(makeRow(profile));
    layout->addStretch(1);
    replaceScrolledContent(rowsArea_, rows);
}

QWidget* ProfilesSheet::makeRow(const SyncProfile& profile) {
    const QString name = toQString(profile.name);
    auto* row = makeListRow("profileRowWidget", name);
    auto* nameLabel = makeTextLabel(name, TextStyle::body, Tint::text, "profileNameLabel");
    auto* folders = new ElidedLabel;
    folders->setObjectName(QStringLiteral("profileFoldersLabel"));
    folders->setFullText(toQString(profile.source) + QStringLiteral(" \u2192 ") +
                         toQString(profile.destination));
    applyTextStyle(folders, TextStyle::caption);
    applyTint(folders, Tint::secondary);
    auto* apply = makeSheetButton(QStringLiteral("Apply"), "applyProfileButton");
    apply->setAccessibleDescription(name);
    auto* remove = makeIconButton(QStringLiteral("trash"), Tint::red,
                                  QStringLiteral("Delete profile"), "deleteProfileButton");
    remove->setAccessibleDescription(name);

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(stackLines(nameLabel, folders), 1);
    layout->addWidget(apply);
    layout->addWidget(remove);

    connect(apply, &QPushButton::clicked, this, [this, profile] {
        viewModel_.loadProfile(profile);
        accept();
    });
    connect(remove, &QToolButton::clicked, this, [this, profile] { confirmDelete(profile); });
    return row;
}

void ProfilesSheet::updateSaveButton() {
    saveButton_->setEnabled(!trimSpacesAndTabs(nameEdit_->text()).isEmpty() &&
                            !viewModel_.sourcePath().isEmpty());
}

void ProfilesSheet::save() {
    const QString name = trimSpacesAndTabs(nameEdit_->text());
    if (name.isEmpty() || viewModel_.sourcePath().isEmpty())
        return;
    if (viewModel_.hasProfileNamed(name)) {
        duplicateLabel_->setText(QStringLiteral("A profile named \"") + name +
                                 QStringLiteral("\" already exists."));
        duplicateLabel_->show();
        return;
    }
    viewModel_.saveProfile(name);
    nameEdit_->clear();
    duplicateLabel_->hide();
}

void ProfilesSheet::confirmDelete(const SyncProfile& profile) {
    askToConfirm(this, {QStringLiteral("Delete profile?"), QString(), QStringLiteral("Delete")},
                 [this, id = profile.id] { viewModel_.deleteProfile(id); });
}

} // namespace quillfen
