#include "ui/ExclusionsSheet.h"

#include "app/AppViewModel.h"
#include "app/PathText.h"
#include "app/TypedText.h"
#include "ui/SheetParts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace quillfen {
namespace {

std::vector<Uuid> idsOf(const std::vector<ExclusionPattern>& rules) {
    std::vector<Uuid> ids;
    for (const auto& rule : rules)
        ids.push_back(rule.id);
    return ids;
}

} // namespace

ExclusionsSheet::ExclusionsSheet(AppViewModel& viewModel, QWidget* parent)
    : TintedSheet(QStringLiteral("Exclusions"), parent), viewModel_(viewModel),
      rulesArea_(new QScrollArea), patternEdit_(new QLineEdit),
      addButton_(makeSheetButton(QStringLiteral("Add"), "addPatternButton")) {
    setObjectName(QStringLiteral("exclusionsSheetDialog"));
    setMinimumSize(420, 400);
    resize(460, 560);
    rulesArea_->setObjectName(QStringLiteral("rulesScrollArea"));
    rulesArea_->setWidgetResizable(true);
    rulesArea_->setFrameShape(QFrame::NoFrame);
    // No Tab stop of its own: each switch is one, and scrolls itself into view.
    rulesArea_->setFocusPolicy(Qt::NoFocus);
    patternEdit_->setObjectName(QStringLiteral("patternLineEdit"));
    patternEdit_->setPlaceholderText(QStringLiteral("Add pattern, e.g. *.bak"));
    patternEdit_->setAccessibleName(patternEdit_->placeholderText());
    // Return in the field adds, as the button does.
    addButton_->setDefault(true);

    auto* addRow = new QHBoxLayout;
    addRow->addWidget(patternEdit_, 1);
    addRow->addWidget(addButton_);
    contentLayout()->addWidget(rulesArea_, 1);
    contentLayout()->addWidget(makeDivider());
    contentLayout()->addLayout(addRow);

    connect(patternEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        addButton_->setEnabled(!trimSpacesAndTabs(text).isEmpty());
    });
    connect(addButton_, &QPushButton::clicked, this, &ExclusionsSheet::add);
    connect(&viewModel_, &AppViewModel::excludePatternsChanged, this, &ExclusionsSheet::render);
    addButton_->setEnabled(false);
    render();
}

void ExclusionsSheet::render() {
    const auto& rules = viewModel_.excludePatterns();
    setSubtitle(QString::number(viewModel_.enabledPatternCount()) + QStringLiteral(" active"));
    if (idsOf(rules) != shownIds_) {
        rebuildRows(rules);
        return;
    }
    // Only switches moved: the rows stay, and so does the keyboard focus.
    for (const auto& rule : rules) {
        QCheckBox* toggle = switches_.at(rule.id);
        const QSignalBlocker blocker(toggle);
        toggle->setChecked(rule.enabled);
    }
}

void ExclusionsSheet::rebuildRows(const std::vector<ExclusionPattern>& rules) {
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("rulesWidget"));
    auto* layout = new QVBoxLayout(content);
    switches_.clear();
    for (const bool builtIn : {true, false}) {
        const auto first = std::find_if(rules.begin(), rules.end(), [&](const auto& rule) {
            return rule.isBuiltIn == builtIn;
        });
        // Custom rules have a section only while there are some.
        if (first == rules.end() && !builtIn)
            continue;
        layout->addWidget(makeTextLabel(
            builtIn ? QStringLiteral("Built-in") : QStringLiteral("Custom"), TextStyle::subheadline,
            Tint::secondary, builtIn ? "builtInHeadingLabel" : "customHeadingLabel"));
        for (const auto& rule : rules) {
            if (rule.isBuiltIn == builtIn)
                layout->addWidget(makeRow(rule));
        }
    }
    layout->addStretch(1);
    shownIds_ = idsOf(rules);
    replaceScrolledContent(rulesArea_, content);
    // New rows join the end of the Tab order; the add row stays below them.
    const auto stops = content->findChildren<QWidget*>();
    const auto last = std::find_if(stops.rbegin(), stops.rend(), [](const QWidget* stop) {
        return (stop->focusPolicy() & Qt::TabFocus) != 0;
    });
    if (last != stops.rend()) {
        setTabOrder(*last, patternEdit_);
        setTabOrder(patternEdit_, addButton_);
    }
}

QWidget* ExclusionsSheet::makeRow(const ExclusionPattern& rule) {
    const QString label = toQString(rule.label);
    auto* row = makeListRow("ruleRowWidget", label);
    auto* toggle = new QCheckBox;
    toggle->setObjectName(QStringLiteral("ruleSwitchCheckBox"));
    toggle->setAccessibleName(label);
    toggle->setChecked(rule.enabled);
    switches_[rule.id] = toggle;
    auto* symbol = new QLabel;
    applySymbol(symbol, QStringLiteral("nosign"), Tint::secondary, 12);
    auto* pattern = new QLabel(toQString(rule.pattern));
    pattern->setTextFormat(Qt::PlainText);
    pattern->setFont(monospacedFontFor(TextStyle::caption, font()));
    applyTint(pattern, Tint::secondary);

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(toggle);
    layout->addWidget(symbol);
    layout->addLayout(stackLines(makeTextLabel(label, TextStyle::body), pattern), 1);
    connect(toggle, &QCheckBox::toggled, this,
            [this, id = rule.id](bool on) { viewModel_.setExclusionPatternEnabled(id, on); });
    if (!rule.isBuiltIn) {
        auto* remove = makeIconButton(QStringLiteral("minus.circle"), Tint::secondary,
                                      QStringLiteral("Remove"), "removeRuleButton");
        remove->setAccessibleDescription(label);
        layout->addWidget(remove);
        connect(remove, &QToolButton::clicked, this,
                [this, id = rule.id] { viewModel_.removeExclusionPattern(id); });
    }
    return row;
}

void ExclusionsSheet::add() {
    if (viewModel_.addExclusionPattern(patternEdit_->text()))
        patternEdit_->clear();
}

} // namespace quillfen
