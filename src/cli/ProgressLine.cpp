#include "cli/ProgressLine.h"

#include "cli/TerminalText.h"
#include "records/TextFormat.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace quillfen::cli {
namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr std::size_t kMaxPathLength = 50;

std::string describe(const SyncProgress& progress) {
    switch (progress.phase) {
    case SyncProgress::Phase::scanning:
        return "Scanning…";
    case SyncProgress::Phase::verifying:
        return "Verifying copies…";
    default:
        break;
    }
    const auto done = progress.totalBytes > 0 ? progress.processedBytes : progress.processedFiles;
    const auto total = progress.totalBytes > 0 ? progress.totalBytes : progress.totalFiles;
    const auto percent = total > 0 ? done * 100 / total : 100;
    std::string path = terminalSafe(toValidUtf8(progress.currentFile));
    if (path.size() > kMaxPathLength) {
        auto start = path.size() - kMaxPathLength;
        while (start < path.size() && (static_cast<unsigned char>(path[start]) & 0xc0) == 0x80)
            ++start; // never cut a character in two
        path = "…" + path.substr(start);
    }
    return std::to_string(percent) + "%  " + formatFileSize(progress.processedBytes) + " of " +
           formatFileSize(progress.totalBytes) + "  " + std::to_string(progress.processedFiles) +
           "/" + std::to_string(progress.totalFiles) + " files  " + path;
}

} // namespace

ProgressLine::ProgressLine() : enabled_(::isatty(STDERR_FILENO) == 1) {}

void ProgressLine::show(const SyncProgress& progress) {
    const auto now = std::chrono::steady_clock::now();
    if (!enabled_ || (visible_ && now - lastDrawn_ < kRedrawInterval))
        return;
    lastDrawn_ = now;
    visible_ = true;
    std::fprintf(stderr, "\r\033[K%s", describe(progress).c_str());
    std::fflush(stderr);
}

void ProgressLine::clear() {
    if (!visible_)
        return;
    visible_ = false;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
}

} // namespace quillfen::cli
