#include "cli/Commands.h"

namespace quillfen::cli {

int runScan(const std::vector<std::string>&) {
    return kExitUsage;
}

} // namespace quillfen::cli
