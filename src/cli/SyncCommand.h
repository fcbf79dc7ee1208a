#pragma once

#include "cli/RunRequest.h"

namespace quillfen::cli {

// Run a parsed request and print its outcome; return the exit status.
int executeSync(const RunRequest& request);
int executePreview(const RunRequest& request);

} // namespace quillfen::cli
