#include "ui/PreviewListModel.h"

#include "records/DiffItem.h"
#include "ui/ProgressTexts.h"

namespace quillfen {

PreviewListModel::PreviewListModel(QObject* parent) : QAbstractListModel(parent) {}

void PreviewListModel::setItems(const std::vector<DiffItem>* items) {
    beginResetModel();
    items_ = items;
    endResetModel();
}

int PreviewListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !items_ ? 0 : int(items_->size());
}

QVariant PreviewListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        !items_)
        return QVariant();
    const DiffItem& item = (*items_)[std::size_t(index.row())];
    const bool isDeletion = item.action == DiffItem::Action::remove;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return QString::fromStdString(item.relativePath);
    case Qt::AccessibleTextRole: {
        QString text = (isDeletion ? QStringLiteral("Delete ") : QStringLiteral("Copy ")) +
                       QString::fromStdString(item.relativePath);
        if (item.size >= 1)
            text += QStringLiteral(", ") + byteCountText(item.size);
        return text;
    }
    case isDeletionRole:
        return isDeletion;
    case sizeRole:
        return qint64(item.size);
    default:
        return QVariant();
    }
}

} // namespace quillfen
