#pragma once

#include <QString>

namespace quillfen {

// A name or pattern as the user typed it, without the spaces and tabs
// around it. Other white space is part of what was typed.
inline QString trimSpacesAndTabs(const QString& typed) {
    const auto isBlank = [](QChar c) {
        return c == u' ' || c == u'\t';
    };
    qsizetype first = 0;
    qsizetype end = typed.size();
    while (first < end && isBlank(typed[first]))
        ++first;
    while (end > first && isBlank(typed[end - 1]))
        --end;
    return typed.mid(first, end - first);
}

} // namespace quillfen
