#pragma once

#include "records/Uuid.h"

#include <cstdint>
#include <string>

namespace quillfen {

struct DiffItem {
    enum class Action { copy, remove };

    Uuid id = Uuid::random();
    Action action = Action::copy;
    std::string relativePath;
    std::int64_t size = 0;

    friend bool operator==(const DiffItem&, const DiffItem&) = default;
};

// "copy" / "delete": the words the command line and its JSON output use.
std::string toString(DiffItem::Action action);

} // namespace quillfen
