#include "ui/ReleaseNotesSheet.h"

#include "app/ReleaseNotes.h"
#include "ui/SheetParts.h"
#include "ui/TopicBrowser.h"

#include <QLabel>
#include <QVBoxLayout>

namespace quillfen {
namespace {

QWidget* makeNotePage(const ReleaseNote& note) {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("releaseNotePageWidget"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(makeTextLabel(note.version, TextStyle::title));
    layout->addWidget(makeTextLabel(note.date, TextStyle::caption, Tint::secondary, "dateLabel"));
    layout->addSpacing(8);
    for (const QString& item : note.items) {
        auto* label = makeTextLabel(QStringLiteral("\u2022 ") + item, TextStyle::body);
        label->setAccessibleName(item);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    layout->addStretch(1);
    return page;
}

} // namespace

ReleaseNotesSheet::ReleaseNotesSheet(const QString& notesLocation, QWidget* parent)
    : TintedSheet(QStringLiteral("Release Notes"), parent),
      browser_(new TopicBrowser(QStringLiteral("Versions"))) {
    setObjectName(QStringLiteral("releaseNotesSheetDialog"));
    setMinimumSize(480, 340);
    resize(580, 420);
    const auto notes = loadReleaseNotes(notesLocation);
    if (!notes.empty())
        setSubtitle(QStringLiteral("Latest: ") + notes.front().version);
    for (const ReleaseNote& note : notes)
        browser_->addTopic(note.version, QString(), makeNotePage(note));
    contentLayout()->addWidget(browser_);
}

} // namespace quillfen
