#include "app/ReleaseNotes.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace quillfen {
namespace {

std::optional<ReleaseNote> decodeNote(const QJsonValue& value) {
    const QJsonObject object = value.toObject();
    const QJsonValue version = object.value(QStringLiteral("version"));
    const QJsonValue date = object.value(QStringLiteral("date"));
    const QJsonValue items = object.value(QStringLiteral("items"));
    if (!version.isString() || !date.isString() || !items.isArray())
        return std::nullopt;
    ReleaseNote note{version.toString(), date.toString(), {}};
    for (const QJsonValue& item : items.toArray()) {
        if (!item.isString())
            return std::nullopt;
        note.items << item.toString();
    }
    return note;
}

} // namespace

std::vector<ReleaseNote> loadReleaseNotes(const QString& location) {
    QFile file(location);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonValue notes = QJsonDocument::fromJson(file.readAll()).object().value(u"notes");
    if (!notes.isArray())
        return {};
    std::vector<ReleaseNote> decoded;
    for (const QJsonValue& value : notes.toArray()) {
        auto note = decodeNote(value);
        if (!note)
            return {};
        decoded.push_back(std::move(*note));
    }
    return decoded;
}

} // namespace quillfen
