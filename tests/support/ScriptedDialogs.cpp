#include "ScriptedDialogs.h"

namespace quillfen::test {

std::optional<QString> ScriptedDialogs::chooseFolder(const QString& message) {
    return next(Kind::folder, message);
}

std::optional<QString> ScriptedDialogs::chooseSaveFile(const QString& suggestedName) {
    return next(Kind::saveFile, suggestedName);
}

std::optional<QString> ScriptedDialogs::chooseOpenFile(const QString& message) {
    return next(Kind::openFile, message);
}

std::optional<QString> ScriptedDialogs::next(Kind kind, const QString& text) {
    requests_.push_back({kind, text});
    if (answers_.empty())
        return std::nullopt;
    const QString answer = answers_.front();
    answers_.pop_front();
    if (answer.isNull())
        return std::nullopt;
    return answer;
}

} // namespace quillfen::test
