#include "ScriptedDialogs.h"

namespace quillfen::test {

std::optional<QString> ScriptedDialogs::next(const QString& text) {
    requests_.push_back({text});
    const QString answer = answers_.empty() ? QString() : answers_.front();
    if (!answers_.empty())
        answers_.pop_front();
    if (answer.isNull())
        return std::nullopt;
    return answer;
}

} // namespace quillfen::test
