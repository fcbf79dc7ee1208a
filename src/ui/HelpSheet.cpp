#include "ui/HelpSheet.h"

#include "app/AppViewModel.h"
#include "ui/HelpContent.h"
#include "ui/SheetParts.h"
#include "ui/TopicBrowser.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace quillfen {
namespace {

QLayout* makeRows(const HelpBlock& block) {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setColumnStretch(1, 1);
    const bool keys = block.kind == HelpBlock::Kind::shortcuts;
    int row = 0;
    for (const auto& [first, second] : block.rows) {
        QLabel* term = keys ? new QLabel(first) : makeTextLabel(first, TextStyle::body);
        if (keys) {
            term->setFont(monospacedFontFor(TextStyle::callout, term->font()));
            term->setStyleSheet(QStringLiteral("QLabel { border: 1px solid palette(mid); "
                                               "border-radius: 4px; padding: 1px 6px; }"));
        } else {
            QFont bold = term->font();
            bold.setWeight(QFont::DemiBold);
            term->setFont(bold);
        }
        term->setTextFormat(Qt::PlainText);
        auto* description = makeTextLabel(second, TextStyle::body, Tint::secondary);
        description->setWordWrap(true);
        grid->addWidget(term, row, 0, Qt::AlignTop | Qt::AlignLeft);
        grid->addWidget(description, row, 1, Qt::AlignTop);
        ++row;
    }
    return grid;
}

} // namespace

HelpSheet::HelpSheet(QWidget* parent)
    : TintedSheet(QStringLiteral("Quillfen Help"), parent),
      browser_(new TopicBrowser(QStringLiteral("Topics"))) {
    setObjectName(QStringLiteral("helpSheetDialog"));
    setMinimumSize(560, 400);
    resize(680, 480);
    for (const HelpTopic& topic : helpTopics())
        browser_->addTopic(topic.label, topic.icon, makePage(topic));
    contentLayout()->addWidget(browser_);
}

QWidget* HelpSheet::makePage(const HelpTopic& topic) {
    auto* page = new QWidget;
    page->setObjectName(topic.id + QStringLiteral("HelpPageWidget"));
    auto* layout = new QVBoxLayout(page);
    layout->setSpacing(12);
    layout->addWidget(makeTextLabel(topic.label, TextStyle::title));
    for (const HelpBlock& block : topic.blocks) {
        switch (block.kind) {
        case HelpBlock::Kind::paragraph:
            layout->addWidget(makeMarkedLabel(block.text));
            break;
        case HelpBlock::Kind::definitions:
        case HelpBlock::Kind::shortcuts:
            layout->addLayout(makeRows(block));
            break;
        case HelpBlock::Kind::version:
            layout->addWidget(
                makeTextLabel(AppViewModel::versionText(), TextStyle::caption, Tint::secondary));
            break;
        }
    }
    layout->addStretch(1);
    return page;
}

} // namespace quillfen
