#include "app/CleanSourceSession.h"

#include "app/AppViewModel.h"
#include "app/PathText.h"
#include "records/TextFormat.h"

#include <QPointer>

namespace quillfen {

CleanSourceSession::CleanSourceSession(AppViewModel& viewModel, const TrashService& trash,
                                       QObject* parent)
    : QObject(parent), viewModel_(viewModel), trash_(trash) {}

void CleanSourceSession::startScan() {
    const auto root = toPath(viewModel_.sourcePath());
    auto patterns = enabledPatternTexts(viewModel_.excludePatterns());
    if (root.empty() || patterns.empty()) {
        isScanning_ = false;
        emit changed();
        return;
    }
    isScanning_ = true;
    emit changed();
    runner_.start(
        [root, patterns = std::move(patterns)](const BackgroundRunner::Context&) {
            return CleanSourceScanner::scanForMatches(root, patterns);
        },
        [this](BackgroundRunner::Outcome<std::vector<CleanItem>> outcome) {
            if (auto* found = std::get_if<std::vector<CleanItem>>(&outcome))
                items_ = std::move(*found);
            isScanning_ = false;
            emit changed();
        });
}

void CleanSourceSession::setConfirmMove(bool shown) {
    if (std::exchange(confirmMove_, shown) != shown)
        emit changed();
}

void CleanSourceSession::moveToTrash() {
    // A second confirmation would move nothing and report every item failed.
    if (isMoving_ || movedCount_)
        return;
    isMoving_ = true;
    emit changed();
    runner_.start(
        [items = items_, trash = trash_,
         viewModel = QPointer<AppViewModel>(&viewModel_)](const BackgroundRunner::Context&) {
            MoveCounts counts;
            for (const auto& item : items)
                ++(trash.moveToTrash(item.url) ? counts.moved : counts.failed);
            // Not through the session: the statistics are refreshed even when
            // the sheet has closed meanwhile.
            BackgroundRunner::postToMainThread([viewModel] {
                if (viewModel)
                    viewModel->refreshSourceStats(viewModel->sourcePath());
            });
            return counts;
        },
        [this](BackgroundRunner::Outcome<MoveCounts> outcome) {
            const auto* counts = std::get_if<MoveCounts>(&outcome);
            movedCount_ = counts ? counts->moved : 0;
            failedCount_ = counts ? counts->failed : int(items_.size());
            isMoving_ = false;
            emit changed();
        });
}

std::int64_t CleanSourceSession::totalBytes() const {
    std::int64_t total = 0;
    for (const auto& item : items_)
        total += item.bytes;
    return total;
}

QString CleanSourceSession::summaryText() const {
    const auto count = items_.size();
    return QString::number(count) +
           (count == 1 ? QStringLiteral(" item") : QStringLiteral(" items")) +
           QStringLiteral(" \u00B7 ") + QString::fromStdString(formatFileSize(totalBytes()));
}

} // namespace quillfen
