#include "ui/HistoryListModel.h"

#include "app/PathText.h"
#include "ui/SheetTexts.h"
#include "ui/WindowTexts.h"

namespace quillfen {

void HistoryListModel::setEntries(std::vector<HistoryEntry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

int HistoryListModel::rowOf(const Uuid& id) const {
    for (std::size_t row = 0; row < entries_.size(); ++row) {
        if (entries_[row].id == id)
            return int(row);
    }
    return -1;
}

Tint HistoryListModel::dotTint(const HistoryEntry& entry) {
    if (!entry.result)
        return Tint::tertiary;
    switch (entry.result->status) {
    case SyncStatus::success:
        return entry.isDryRun ? Tint::blue : Tint::green;
    case SyncStatus::cancelled:
        return Tint::orange;
    case SyncStatus::failed:
        break;
    }
    return Tint::red;
}

int HistoryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(entries_.size());
}

QVariant HistoryListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const HistoryEntry& run = entry(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return folderName(toQString(run.source));
    case dateTextRole:
    case Qt::AccessibleDescriptionRole:
        return longDate(startedAt(run).date());
    case dotTintRole:
        return int(dotTint(run));
    default:
        return {};
    }
}

} // namespace quillfen
