#pragma once

#include "ui/Tint.h"

#include <QAbstractListModel>

#ifndef Q_MOC_RUN
#include "records/HistoryEntry.h"

#include <vector>
#endif

namespace quillfen {

// The stored runs, newest first, as the history sheet lists them: the
// source folder's name, with the start date and the status dot's colour as
// roles of their own.
class HistoryListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role { dateTextRole = Qt::UserRole + 1, dotTintRole };

    using QAbstractListModel::QAbstractListModel;

    void setEntries(std::vector<HistoryEntry> entries);
    const HistoryEntry& entry(int row) const { return entries_.at(std::size_t(row)); }
    // The row of the run with this id; -1 when it is not listed.
    int rowOf(const Uuid& id) const;

    // Gray without a result; blue for a successful preview, green for a
    // successful sync; orange when cancelled; red when failed.
    static Tint dotTint(const HistoryEntry& entry);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<HistoryEntry> entries_;
};

} // namespace quillfen
