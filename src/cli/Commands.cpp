#include "cli/Commands.h"

#include <Version.h>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>

namespace quillfen::cli {
namespace {

constexpr const char* kHelp = R"(Usage: quillfen-cli VERB [OPTIONS]

Verbs:
  scan FOLDER [--exclude PATTERN]... [--builtin] [-0]
        List the files a sync would consider, one relative path per line
        (-0: each path ends with a NUL byte instead). Excluded items are
        reported on standard error as "Excluded: PATH", folders that cannot
        be read as "Unreadable: PATH" (exit status 3). --builtin matches the
        enabled built-in rules first, then each --exclude in the order given.
        A pattern ending in "/" matches folders only.
  sync SOURCE DESTINATION [--mirror] [--preserve-root] [--verify]
       [--bwlimit KBPS] [--max-delete N] [--builtin] [--exclude PATTERN]...
       [--json] [--quiet]
        Copy every file of SOURCE that is new or changed into DESTINATION.
        Each event is printed as it happens ("Copied: PATH", "Error: PATH —
        REASON", ...; --quiet leaves them out), then a summary. --mirror also
        deletes destination files with no source counterpart; --max-delete
        deletes none of them when there are more than N (exit status 3);
        --preserve-root copies into DESTINATION/<name of SOURCE>; --verify
        compares SHA-256 checksums of the copies afterwards; --bwlimit limits
        copying to KBPS KB (1024 bytes) per second. --json prints the result
        as one JSON object instead (event lines then go to standard error).
        One run at a time writes into a destination; another one fails at
        once. The first interrupt (or hangup or termination) stops after the
        current file, a second one at once.
  sync --profile NAME [options]
        Run the stored profile NAME: its folders, options and enabled rules
        (or the stored exclusion list when the profile has none). Options
        given here are added to the profile's.
  preview SOURCE DESTINATION [same options as sync]
  preview --profile NAME [options]
        List what sync would do, writing nothing: "copy SIZE PATH" and
        "delete PATH" lines, then a summary. --json prints one object with
        "items" and "result".
  stats FOLDER [--json]
        Count the files, folders and bytes below FOLDER (at most 10 seconds;
        a count cut short is marked partial). --json prints one JSON object
        with files, folders, bytes and isPartial.
  profiles [--json]
        List the saved profiles: each name, then "source → destination".
        With --json, the stored profile records as JSON.
  history [--json] [--limit N]
        List the recorded runs, newest first: start time, Sync or Preview,
        status, figures and log file name. --limit shows the newest N only;
        with --json, the stored history records as JSON.

The store is read from $XDG_DATA_HOME/Quillfen (~/.local/share/Quillfen);
these verbs never change it. A stored file they cannot read is named on
standard error (exit status 1).

Options:
  --help       Show this help.
  --version    Show the version.

Exit status: 0 success, 1 the run failed (message on standard error), 2 usage
error, 3 finished but some files failed, did not verify or could not be read,
130 interrupted.
)";

using Verb = std::function<int(const std::vector<std::string>&)>;

const std::map<std::string, Verb>& verbs() {
    static const std::map<std::string, Verb> table = {
        {"scan", runScan},       {"stats", runStats}, {"profiles", runProfiles},
        {"history", runHistory}, {"sync", runSync},   {"preview", runPreview},
    };
    return table;
}

} // namespace

int run(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << "quillfen-cli: no verb given (try --help)\n";
        return kExitUsage;
    }
    const std::string verb = args.front();
    if (verb == "--help" || verb == "-h") {
        std::cout << kHelp;
        return kExitSuccess;
    }
    if (verb == "--version") {
        if (args.size() > 1) {
            std::cerr << "quillfen-cli: unexpected argument '" << args[1] << "' (try --help)\n";
            return kExitUsage;
        }
        std::cout << "quillfen-cli " << kAppVersion << '\n';
        return kExitSuccess;
    }
    const auto found = verbs().find(verb);
    if (found == verbs().end()) {
        std::cerr << "quillfen-cli: unknown verb '" << verb << "' (try --help)\n";
        return kExitUsage;
    }
    if (args.size() > 1 && (args[1] == "--help" || args[1] == "-h")) {
        std::cout << kHelp;
        return kExitSuccess;
    }
    try {
        return found->second({args.begin() + 1, args.end()});
    } catch (const UsageError& error) {
        std::cerr << "quillfen-cli: " << error.message << '\n';
        return kExitUsage;
    }
}

} // namespace quillfen::cli
