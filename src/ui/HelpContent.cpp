#include "ui/HelpContent.h"

namespace quillfen {
namespace {

using Kind = HelpBlock::Kind;
using Rows = std::vector<std::pair<QString, QString>>;

HelpBlock paragraph(const char* text) {
    return {Kind::paragraph, QString::fromUtf8(text), {}};
}

HelpBlock rows(Kind kind, std::initializer_list<std::pair<const char*, const char*>> pairs) {
    Rows converted;
    for (const auto& [first, second] : pairs)
        converted.emplace_back(QString::fromUtf8(first), QString::fromUtf8(second));
    return {kind, QString(), std::move(converted)};
}

HelpBlock definitions(std::initializer_list<std::pair<const char*, const char*>> pairs) {
    return rows(Kind::definitions, pairs);
}

HelpTopic topic(const char* id, const char* label, const char* icon,
                std::vector<HelpBlock> blocks) {
    return {QString::fromLatin1(id), QString::fromUtf8(label), QString::fromLatin1(icon),
            std::move(blocks)};
}

std::vector<HelpTopic> makeTopics() {
    return {
        topic("overview", "Overview", "info.circle",
              {paragraph("Quillfen copies files from a source folder to a destination folder "
                         "using incremental comparison \u2014 only changed or new files are "
                         "transferred."),
               paragraph("Use **Preview** first to see what would change without writing "
                         "anything. Then **Start Sync** to apply."),
               {Kind::version, QString(), {}}}),
        topic("folders", "Folders", "folder.badge.plus",
              {definitions(
                  {{"Source", "The folder you want to back up or copy from."},
                   {"Destination", "Where files will be copied to (created if it doesn't exist)."},
                   {"Drag & drop", "Drag folders from your file manager directly onto either "
                                   "picker."},
                   {"Preserve Root", "Copies the source folder itself inside destination instead "
                                     "of just its contents."}})}),
        topic("sync", "Sync & Preview", "arrow.triangle.2.circlepath",
              {definitions(
                  {{"Start Sync (Ctrl+S)", "Copies files that are new or changed since the last "
                                           "sync."},
                   {"Preview (Ctrl+Shift+P)", "Shows what would be copied or deleted \u2014 no "
                                              "files are written."},
                   {"Cancel", "Stops the sync in progress. Files already copied remain."},
                   {"Incremental", "Files are compared by modification date and size. Only "
                                   "different files are copied."}})}),
        topic("mirror", "Mirror Mode", "arrow.left.arrow.right",
              {paragraph("Mirror mode (\"delete extras\") removes files from the destination "
                         "that no longer exist in the source."),
               paragraph("Use this for true backups where the destination should be an exact "
                         "mirror. **This permanently deletes files from the destination** "
                         "\u2014 Preview first.")}),
        topic("exclusions", "Exclusions", "nosign",
              {paragraph("Exclude files and folders by pattern. Toggle built-in patterns on/off, "
                         "or add custom glob patterns."),
               definitions({{".DS_Store", "macOS metadata \u2014 excluded by default."},
                            {"*.tmp", "Temporary files."},
                            {"node_modules", "npm dependencies \u2014 large and rebuildable."},
                            {"Custom patterns", "Use glob syntax: *.ext, folder/, prefix-*, "
                                                "etc."}})}),
        topic("profiles", "Profiles", "person.2",
              {paragraph("Profiles save your current source, destination, and sync settings for "
                         "quick reuse."),
               definitions({{"Save", "Name and save the current configuration."},
                            {"Apply", "Load a profile's settings into the main window."},
                            {"Delete", "Remove a profile (with confirmation)."},
                            {"Schedule", "Profiles can be used with the scheduler for automated "
                                         "runs."}})}),
        topic("schedule", "Schedule", "calendar.badge.clock",
              {paragraph("Run a saved profile automatically on a daily or weekly schedule."),
               definitions({{"Frequency", "Daily or weekly."},
                            {"Time", "Set the hour and minute to run."},
                            {"Profile", "Choose which saved profile to run."},
                            {"Tray required", "The app must be running (in the tray) for "
                                              "scheduled syncs to fire."}})}),
        topic("history", "History & Logs", "clock",
              {definitions({{"Run list", "Left pane shows all past syncs with status indicator."},
                            {"Detail", "Right pane shows full stats: date, duration, files, "
                                       "bytes."},
                            {"Open Log", "Opens the full per-file log for the selected run."},
                            {"Delete", "Remove a single entry and its log file."},
                            {"Clear All", "Remove all history and all log files."}})}),
        topic("shortcuts", "Shortcuts", "keyboard",
              {rows(Kind::shortcuts, {{"Ctrl+S", "Start Sync"},
                                      {"Ctrl+Shift+P", "Preview"},
                                      {"Ctrl+Shift+?", "Open Help"},
                                      {"Esc", "Close modal"}})}),
        topic("tray", "Tray Icon", "menubar.rectangle",
              {paragraph("Quillfen stays in the system tray after the window is closed, keeping "
                         "scheduled syncs active."),
               definitions({{"Show Quillfen", "Brings the main window to the front."},
                            {"Release Notes", "Opens the version history."},
                            {"Terms of Use", "Opens the terms."},
                            {"Quit", "Exits the app completely."}})}),
    };
}

} // namespace

const std::vector<HelpTopic>& helpTopics() {
    static const std::vector<HelpTopic> topics = makeTopics();
    return topics;
}

} // namespace quillfen
