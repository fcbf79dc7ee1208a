#include "ui/CleanItemModel.h"

#include "records/TextFormat.h"

namespace quillfen {

void CleanItemModel::setItems(const std::vector<CleanItem>& items) {
    beginResetModel();
    items_ = items;
    endResetModel();
}

void CleanItemModel::setIcons(const QIcon& folder, const QIcon& file) {
    folderIcon_ = folder;
    fileIcon_ = file;
    if (!items_.empty())
        emit dataChanged(index(0, pathColumn), index(rowCount() - 1, pathColumn),
                         {Qt::DecorationRole});
}

void CleanItemModel::setPathFont(const QFont& font) {
    pathFont_ = font;
}

int CleanItemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(items_.size());
}

int CleanItemModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CleanItemModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const CleanItem& item = items_[std::size_t(index.row())];
    if (index.column() == pathColumn) {
        switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(toValidUtf8(item.relativePath));
        case Qt::DecorationRole:
            return item.isDirectory ? folderIcon_ : fileIcon_;
        case Qt::AccessibleDescriptionRole: // what the symbol shows
            return item.isDirectory ? QStringLiteral("Folder") : QStringLiteral("File");
        case Qt::FontRole:
            return pathFont_;
        default:
            return {};
        }
    }
    if (role == Qt::DisplayRole)
        return item.bytes < 1 ? QStringLiteral("\u2014")
                              : QString::fromStdString(formatFileSize(item.bytes));
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

} // namespace quillfen
