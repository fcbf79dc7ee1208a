#include "records/DiffItem.h"

namespace quillfen {

std::string toString(DiffItem::Action action) {
    return action == DiffItem::Action::copy ? "copy" : "delete";
}

} // namespace quillfen
