#include "app/CleanSourceSession.h"

#include "app/AppViewModel.h"
#include "app/PathText.h"
#include "cleanup/TrashService.h"
#include "records/TextFormat.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

#include <thread>

namespace quillfen {
namespace {

// Runs `work` on the main thread unless `receiver` is gone by then.
template <typename Work> void postTo(const QPointer<QObject>& receiver, Work work) {
    if (auto* application = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            application,
            [receiver, work = std::move(work)]() mutable {
                if (receiver)
                    work();
            },
            Qt::QueuedConnection);
}

} // namespace

CleanSourceSession::CleanSourceSession(AppViewModel& viewModel, TrashService& trash,
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
    std::thread([guard = QPointer<QObject>(this), this, root, patterns = std::move(patterns)] {
        auto found = CleanSourceScanner::scanForMatches(root, patterns);
        postTo(guard, [this, found = std::move(found)]() mutable {
            items_ = std::move(found);
            isScanning_ = false;
            emit changed();
        });
    }).detach();
}

void CleanSourceSession::setConfirmMove(bool shown) {
    if (std::exchange(confirmMove_, shown) != shown)
        emit changed();
}

void CleanSourceSession::moveToTrash() {
    isMoving_ = true;
    emit changed();
    QPointer<QObject> session(this);
    QPointer<QObject> viewModelObject(&viewModel_);
    std::thread([session, viewModelObject, this, items = items_, &trash = trash_] {
        int moved = 0;
        int failed = 0;
        for (const auto& item : items)
            ++(trash.moveToTrash(item.url) ? moved : failed);
        postTo(session, [this, moved, failed] {
            movedCount_ = moved;
            failedCount_ = failed;
            isMoving_ = false;
            emit changed();
        });
        // The statistics are refreshed even when the sheet has closed meanwhile.
        postTo(viewModelObject, [viewModel = &viewModel_] {
            viewModel->refreshSourceStats(viewModel->sourcePath());
        });
    }).detach();
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
