#pragma once

#include "records/SyncResult.h"
#include "records/Uuid.h"

#include <cstdint>
#include <string>
#include <vector>

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

// The result a preview stands for, derived from its plan alone: the items as
// processed, copied and deleted files and the sum of their sizes.
SyncResult previewResult(const std::vector<DiffItem>& items);

} // namespace quillfen
