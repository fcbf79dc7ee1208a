#pragma once

#include <string>
#include <vector>

namespace quillfen::cli {

// Exit statuses scripts rely on.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRunFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitPartialFailure = 3;
inline constexpr int kExitCancelled = 130;

// Thrown by argument parsing: a one-line message, exit status 2.
struct UsageError {
    std::string message;
};

int run(int argc, char** argv);

// One function per verb; `args` holds what follows the verb.
int runScan(const std::vector<std::string>& args);
int runStats(const std::vector<std::string>& args);
int runProfiles(const std::vector<std::string>& args);
int runHistory(const std::vector<std::string>& args);
int runSync(const std::vector<std::string>& args);
int runPreview(const std::vector<std::string>& args);

} // namespace quillfen::cli
