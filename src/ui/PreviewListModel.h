#pragma once

#include <QAbstractListModel>

#include <vector>

namespace quillfen {

struct DiffItem;

// A preview's plan as rows of a list view, read in place: a plan of
// hundreds of thousands of items is never copied, and a row's texts are
// made only when the view draws it.
class PreviewListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        isDeletionRole = Qt::UserRole + 1, // bool
        sizeRole,                          // qint64 bytes
    };

    explicit PreviewListModel(QObject* parent = nullptr);

    // `items` must outlive the model or be replaced first; call again after
    // every change to them.
    void setItems(const std::vector<DiffItem>* items);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    const std::vector<DiffItem>* items_ = nullptr;
};

} // namespace quillfen
