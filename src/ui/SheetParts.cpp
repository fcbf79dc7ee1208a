#include "ui/SheetParts.h"

#include <QAbstractItemView>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace quillfen {

QPushButton* makeSheetButton(const QString& text, const char* objectName) {
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    return button;
}

QToolButton* makeIconButton(const QString& symbol, Tint tint, const QString& accessibleName,
                            const char* objectName) {
    auto* button = new QToolButton;
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAccessibleName(accessibleName);
    button->setToolTip(accessibleName);
    button->setAutoRaise(true);
    applySymbol(button, symbol, tint);
    return button;
}

QLabel* makeTextLabel(const QString& text, TextStyle style, Tint tint, const char* objectName) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    if (objectName)
        label->setObjectName(QString::fromLatin1(objectName));
    applyTextStyle(label, style);
    if (tint != Tint::text)
        applyTint(label, tint);
    return label;
}

QString markedTextToHtml(const QString& marked) {
    const QStringList runs = marked.split(QStringLiteral("**"));
    QString html;
    for (qsizetype i = 0; i < runs.size(); ++i) {
        // Odd runs lie between a pair of marks; a mark left open stays text.
        const bool bold = i % 2 == 1 && i + 1 < runs.size();
        const QString escaped = runs[i].toHtmlEscaped();
        if (bold)
            html += QStringLiteral("<b>") + escaped + QStringLiteral("</b>");
        else
            html += (i % 2 == 1 ? QStringLiteral("**") : QString()) + escaped;
    }
    return html;
}

QLabel* makeMarkedLabel(const QString& marked, const char* objectName) {
    auto* label = new QLabel(markedTextToHtml(marked));
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    label->setAccessibleName(QString(marked).remove(QStringLiteral("**")));
    if (objectName)
        label->setObjectName(QString::fromLatin1(objectName));
    return label;
}

QFrame* makeDivider() {
    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    return divider;
}

QWidget* makeListRow(const char* objectName, const QString& accessibleName) {
    auto* row = new QWidget;
    row->setObjectName(QString::fromLatin1(objectName));
    row->setAccessibleName(accessibleName);
    return row;
}

QLayout* stackLines(QWidget* main, QWidget* under) {
    auto* lines = new QVBoxLayout;
    lines->setSpacing(1);
    lines->addWidget(main);
    lines->addWidget(under);
    return lines;
}

void followChosenRow(QAbstractItemView* list, std::function<void(int row)> chosen) {
    QObject::connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, list,
                     [list, chosen = std::move(chosen)](const QItemSelection& added,
                                                        const QItemSelection& left) {
                         QItemSelectionModel* selection = list->selectionModel();
                         if (!added.isEmpty()) {
                             const QModelIndex row = added.indexes().first();
                             selection->setCurrentIndex(row, QItemSelectionModel::NoUpdate);
                             chosen(row.row());
                             return;
                         }
                         if (selection->hasSelection() || left.isEmpty())
                             return;
                         // Later: choosing a row by selecting it clears the old choice first.
                         QTimer::singleShot(
                             0, list, [list, row = QPersistentModelIndex(left.indexes().first())] {
                                 if (!list->selectionModel()->hasSelection() && row.isValid())
                                     list->setCurrentIndex(row);
                             });
                     });
}

void replaceScrolledContent(QScrollArea* area, QWidget* content) {
    if (QWidget* old = area->takeWidget())
        old->deleteLater();
    area->setWidget(content);
}

} // namespace quillfen
