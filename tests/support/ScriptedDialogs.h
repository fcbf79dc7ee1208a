#pragma once

#include "app/Dialogs.h"

#include <QString>

#include <deque>
#include <optional>
#include <vector>

namespace quillfen::test {

// Dialogs that answer from a script instead of asking a person: each request
// takes the next scripted answer (cancel once the script has run out) and is
// recorded so a test can check what was asked. Answered at once, before the
// call returns.
class ScriptedDialogs : public Dialogs {
public:
    struct Request {
        QString text; // the message, or the suggested name of a save dialog
    };

    // Queues the answer to the next request, whatever its kind; none cancels.
    void answer(const std::optional<QString>& path) { answers_.push_back(path); }
    const std::vector<Request>& requests() const { return requests_; }

    void chooseFolder(const QString& message, Answer answer) override { answer(next(message)); }
    void chooseSaveFile(const QString& name, Answer answer) override { answer(next(name)); }
    void chooseOpenFile(const QString& message, Answer answer) override { answer(next(message)); }

private:
    std::optional<QString> next(const QString& text) {
        requests_.push_back({text});
        if (answers_.empty())
            return std::nullopt;
        const auto answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    std::deque<std::optional<QString>> answers_;
    std::vector<Request> requests_;
};

} // namespace quillfen::test
