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
        List the files a sync would consider, one relative path per line.
        Excluded items are reported on standard error as "Excluded: PATH".
  profiles [--json]
        List the saved profiles: each name, then "source → destination".
        With --json, the stored profile records as JSON.
  history [--json] [--limit N]
        List the recorded runs, newest first: start time, Sync or Preview,
        status, figures and log file name. --limit shows the newest N only;
        with --json, the stored history records as JSON.

The store is read from $XDG_DATA_HOME/Quillfen (~/.local/share/Quillfen);
these verbs never change it.

Options:
  --help       Show this help.
  --version    Show the version.
)";

using Verb = std::function<int(const std::vector<std::string>&)>;

const std::map<std::string, Verb>& verbs() {
    static const std::map<std::string, Verb> table = {
        {"scan", runScan},
        {"profiles", runProfiles},
        {"history", runHistory},
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
        std::cout << "quillfen-cli " << kAppVersion << '\n';
        return kExitSuccess;
    }
    const auto found = verbs().find(verb);
    if (found == verbs().end()) {
        std::cerr << "quillfen-cli: unknown verb '" << verb << "' (try --help)\n";
        return kExitUsage;
    }
    try {
        return found->second({args.begin() + 1, args.end()});
    } catch (const UsageError& error) {
        std::cerr << "quillfen-cli: " << error.message << '\n';
        return kExitUsage;
    }
}

} // namespace quillfen::cli
