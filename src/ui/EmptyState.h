#pragma once

#include "ui/Tint.h"

#include <QWidget>

class QLabel;

namespace quillfen {

// What a sheet shows where its list would be when there is nothing to list:
// a large symbol, a line of text and, if given, a caption under it.
class EmptyState : public QWidget {
    Q_OBJECT

public:
    EmptyState(const QString& symbol, Tint symbolTint, const QString& text,
               const QString& caption = QString(), QWidget* parent = nullptr);

    QLabel* textLabel() const { return textLabel_; }

private:
    QLabel* textLabel_;
};

} // namespace quillfen
