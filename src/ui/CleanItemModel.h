#pragma once

#include <QAbstractTableModel>
#include <QFont>
#include <QIcon>

#ifndef Q_MOC_RUN
#include "cleanup/CleanSourceScanner.h"

#include <vector>
#endif

namespace quillfen {

// The clean-source matches: the relative path in small monospaced type with
// a folder or file symbol, and the size (an em dash for a folder or an
// unknown size).
class CleanItemModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { pathColumn, sizeColumn };
    static constexpr int kColumnCount = 2;

    using QAbstractTableModel::QAbstractTableModel;

    void setItems(const std::vector<CleanItem>& items);
    // Drawn anew when the palette changes.
    void setIcons(const QIcon& folder, const QIcon& file);
    void setPathFont(const QFont& font);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<CleanItem> items_;
    QIcon folderIcon_;
    QIcon fileIcon_;
    QFont pathFont_;
};

} // namespace quillfen
