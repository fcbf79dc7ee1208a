#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace quillfen {

// One release of the application, as its notes tell it.
struct ReleaseNote {
    QString version;
    QString date;
    QStringList items;

    friend bool operator==(const ReleaseNote&, const ReleaseNote&) = default;
};

inline const QString kReleaseNotesResource = QStringLiteral(":/release-notes.json");

// The notes in the document at `location` ({"notes": [{"version", "date",
// "items"}]}), newest first as written. A document that is missing or not
// of that form gives no notes at all: the notes are shown, never trusted.
std::vector<ReleaseNote> loadReleaseNotes(const QString& location = kReleaseNotesResource);

} // namespace quillfen
