#include "app/TourStep.h"

namespace quillfen {

const char* tourStepTitle(TourStep step) {
    switch (step) {
    case TourStep::exclusions:
        return "Exclusion Patterns";
    case TourStep::profiles:
        return "Sync Profiles";
    case TourStep::schedule:
        return "Automated Schedule";
    case TourStep::cleanSource:
        return "Clean Source";
    case TourStep::syncAndPreview:
        return "Sync & Preview";
    case TourStep::historyAndBackup:
        break;
    }
    return "History & Backup";
}

const char* tourStepBody(TourStep step) {
    switch (step) {
    case TourStep::exclusions:
        return "Tell Quillfen which files to always skip. Toggle built-in rules like .DS_Store "
               "and node_modules, or add your own glob patterns. Exclusions travel with every "
               "profile so the right files are always left out.";
    case TourStep::profiles:
        return "Save any folder pair and its settings as a named Profile. Switch between them "
               "with one tap \u2014 ideal for moving between work and personal backup sets "
               "without reconfiguring every time.";
    case TourStep::schedule:
        return "Automate your syncs on an hourly, daily, or weekly cadence. Pick a profile, set a "
               "time, and the app runs silently in the background \u2014 a notification confirms "
               "when it's done.";
    case TourStep::cleanSource:
        return "Scan your source folder for anything matching your active exclusion rules "
               "\u2014 build artifacts, cache dirs, temp files \u2014 then move them all to Trash "
               "in one action. You review the full list before anything is deleted.";
    case TourStep::syncAndPreview:
        return "Hit Preview to inspect every file that would be copied or deleted before "
               "committing. When you're ready, Start Sync runs the real transfer. You can cancel "
               "mid-run at any point.";
    case TourStep::historyAndBackup:
        break;
    }
    return "History logs every sync run with timing, file counts, and a full transcript. Export "
           "Settings saves all your profiles and schedule to a JSON file you can restore on any "
           "computer.";
}

} // namespace quillfen
