#include "ui/ProgressTexts.h"

#include "records/SyncProgress.h"
#include "records/SyncResult.h"
#include "records/TextFormat.h"

#include <algorithm>
#include <cmath>

namespace quillfen {
namespace {

const QString kMiddleDot = QStringLiteral(" \u00b7 ");

QString countOf(qint64 count, const char* unit) {
    return QString::number(count) + u' ' + QLatin1String(unit);
}

QString plural(qint64 count, const char* singular, const char* many) {
    return countOf(count, count == 1 ? singular : many);
}

struct AgeUnit {
    qint64 seconds;
    const char* singular;
    const char* many;
};

constexpr AgeUnit kAgeUnits[] = {
    {86400, "day", "days"},
    {3600, "hour", "hours"},
    {60, "minute", "minutes"},
    {1, "second", "seconds"},
};

const AgeUnit& ageUnitOf(qint64 seconds) {
    for (const auto& unit : kAgeUnits)
        if (seconds >= unit.seconds)
            return unit;
    return kAgeUnits[std::size(kAgeUnits) - 1];
}

QString timeLeftText(double secondsLeft) {
    const auto seconds = qint64(std::ceil(std::max(secondsLeft, 1.0)));
    if (seconds < 60)
        return QStringLiteral("about ") + QString::number((seconds + 4) / 5 * 5) +
               QStringLiteral(" s left");
    const qint64 minutes = (seconds + 30) / 60;
    if (minutes < 60)
        return QStringLiteral("about ") + QString::number(minutes) + QStringLiteral(" min left");
    return QStringLiteral("about ") + QString::number(minutes / 60) + QStringLiteral(" h ") +
           QString::number(minutes % 60) + QStringLiteral(" min left");
}

} // namespace

QString byteCountText(qint64 bytes) {
    return QString::fromStdString(formatFileSize(bytes));
}

double progressPercent(const SyncProgress& progress) {
    const auto share = [](std::int64_t part, std::int64_t whole) {
        return std::min(100.0, double(part) * 100.0 / double(whole));
    };
    if (progress.totalBytes >= 1)
        return share(progress.processedBytes, progress.totalBytes);
    if (progress.totalFiles >= 1)
        return share(progress.processedFiles, progress.totalFiles);
    return 0;
}

QString percentText(const SyncProgress& progress) {
    return QString::number(qint64(std::trunc(progressPercent(progress)))) + u'%';
}

QString progressCounterText(const SyncProgress& progress) {
    if (progress.totalBytes >= 1)
        return byteCountText(progress.processedBytes) + QStringLiteral(" / ") +
               byteCountText(progress.totalBytes);
    return QString::number(progress.processedFiles) + QStringLiteral(" / ") +
           countOf(progress.totalFiles, "files");
}

QString filesAndBytesText(qint64 files, qint64 bytes) {
    return countOf(files, "files") + kMiddleDot + byteCountText(bytes);
}

std::vector<SummaryCell> liveCounterCells(const SyncProgress& progress) {
    std::vector<SummaryCell> cells{
        {QStringLiteral("Copied"), filesAndBytesText(progress.copiedFiles, progress.copiedBytes)}};
    if (progress.deletedFiles >= 1)
        cells.push_back({QStringLiteral("Deleted"), countOf(progress.deletedFiles, "files")});
    return cells;
}

QString summaryTitle(const SyncResult& result) {
    if (result.isDryRun)
        return QStringLiteral("Preview complete");
    return QString::fromStdString(displayName(result.status));
}

std::vector<SummaryCell> summaryCells(const SyncResult& result) {
    std::vector<SummaryCell> cells;
    const auto add = [&cells](const char* label, QString value) {
        cells.push_back({QString::fromLatin1(label), std::move(value)});
    };
    add(result.isDryRun ? "To copy" : "Copied",
        filesAndBytesText(result.filesCopied, result.bytesTransferred));
    if (result.filesDeleted >= 1)
        add("Deleted", countOf(result.filesDeleted, "files"));
    add("Processed", countOf(result.filesProcessed, "files"));
    if (result.failedCount >= 1)
        add("Failed", countOf(result.failedCount, "files"));
    if (result.filesExcluded >= 1)
        add("Excluded", countOf(result.filesExcluded, "items"));
    if (result.verificationFailures >= 1)
        add("Verify failed", countOf(result.verificationFailures, "files"));
    if (!result.isDryRun)
        add("Duration", QString::fromStdString(result.durationText()));
    return cells;
}

QString lastSyncedText(qint64 seconds) {
    seconds = std::max<qint64>(seconds, 0);
    const AgeUnit& unit = ageUnitOf(seconds);
    return QStringLiteral("Last synced ") +
           plural(seconds / unit.seconds, unit.singular, unit.many) + QStringLiteral(" ago");
}

qint64 secondsUntilAgeTextChanges(qint64 seconds) {
    seconds = std::max<qint64>(seconds, 0);
    const qint64 unit = ageUnitOf(seconds).seconds;
    return unit - seconds % unit;
}

QString transferEstimateText(double bytesPerSecond, double secondsLeft) {
    return byteCountText(qint64(std::llround(bytesPerSecond))) + QStringLiteral("/s") + kMiddleDot +
           timeLeftText(secondsLeft);
}

QString runningToolTip(const SyncProgress& progress) {
    const QString prefix = QStringLiteral("Quillfen") + kMiddleDot;
    switch (progress.phase) {
    case SyncProgress::Phase::scanning:
        return prefix + QStringLiteral("Scanning files\u2026");
    case SyncProgress::Phase::syncing:
        return prefix + QStringLiteral("Syncing ") + percentText(progress);
    case SyncProgress::Phase::verifying:
        return prefix + QStringLiteral("Verifying copied files\u2026");
    case SyncProgress::Phase::idle:
    case SyncProgress::Phase::done:
        break;
    }
    return QString();
}

} // namespace quillfen
