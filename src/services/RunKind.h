#pragma once

namespace quillfen {

// Whether a run copies, or only plans what it would copy (the preview, or
// dry run).
enum class RunMode { sync, preview };

// What started a run: the person at the window, a change in the watched
// source, or the schedule.
enum class RunTrigger { user, watch, schedule };

} // namespace quillfen
