#include "ui/HeaderBar.h"

#include "app/AppViewModel.h"
#include "ui/NamedColors.h"
#include "ui/PaletteFollower.h"
#include "ui/QuietLabel.h"
#include "ui/StatusDot.h"
#include "ui/SymbolIcons.h"
#include "ui/Typography.h"
#include "ui/WindowTexts.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QUrl>
#include <QVBoxLayout>

namespace quillfen {
namespace {

// A button whose menu pops up when it is clicked. A menu set on a
// QPushButton runs in a nested event loop, and an assistive technology's
// "show menu" would wait on it until the menu closed; this one only looks
// the part.
class MenuButton : public QPushButton {
public:
    MenuButton(const QString& text, QMenu* menu) : QPushButton(text) {
        menu->setParent(this, menu->windowFlags());
        connect(this, &QPushButton::clicked, menu,
                [this, menu] { menu->popup(mapToGlobal(QPoint(0, height()))); });
    }

    QSize sizeHint() const override {
        QStyleOptionButton option;
        initStyleOption(&option);
        return QPushButton::sizeHint() +
               QSize(style()->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, this), 0);
    }

protected:
    void initStyleOption(QStyleOptionButton* option) const override {
        QPushButton::initStyleOption(option);
        option->features |= QStyleOptionButton::HasMenu;
    }
};

} // namespace

HeaderBar::HeaderBar(AppViewModel& viewModel, QWidget* parent)
    : QWidget(parent), viewModel_(viewModel),
      taglineLabel_(new QuietLabel(QStringLiteral("Fast and reliable backups."))),
      badge_(new QWidget), badgeDot_(new StatusDot), badgeLabel_(new QuietLabel),
      historyButton_(makeButton(new QPushButton(QStringLiteral("History")), QStringLiteral("clock"),
                                "historyButton")),
      logsButton_(makeButton(new QPushButton(QStringLiteral("Logs")),
                             QStringLiteral("doc.text.magnifyingglass"), "logsButton")),
      backupMenu_(new QMenu),
      backupButton_(makeButton(new MenuButton(QStringLiteral("Backup"), backupMenu_),
                               QStringLiteral("arrow.up.arrow.down.circle"), "backupButton")) {
    setObjectName(QStringLiteral("headerBarWidget"));
    auto* icon = new QLabel;
    icon->setObjectName(QStringLiteral("appIconLabel"));
    icon->setPixmap(applicationIcon().pixmap(QSize(44, 44), devicePixelRatioF()));
    icon->setAccessibleName(QStringLiteral("Quillfen"));
    auto* name = new QLabel(QStringLiteral("Quillfen"));
    name->setObjectName(QStringLiteral("appNameLabel"));
    applyTextStyle(name, TextStyle::title);
    taglineLabel_->setObjectName(QStringLiteral("taglineLabel"));
    applyTextStyle(taglineLabel_, TextStyle::caption);

    badgeDot_->setObjectName(QStringLiteral("lastRunDot"));
    badgeLabel_->setObjectName(QStringLiteral("lastRunBadgeLabel"));
    applyTextStyle(badgeLabel_, TextStyle::callout);
    auto* badgeLayout = new QHBoxLayout(badge_);
    badgeLayout->setContentsMargins(0, 0, 0, 0);
    badgeLayout->addWidget(badgeDot_);
    badgeLayout->addWidget(badgeLabel_);

    backupMenu_->setObjectName(QStringLiteral("backupMenu"));
    backupMenu_->addAction(QStringLiteral("Export Settings\u2026"), &viewModel_,
                           &AppViewModel::exportSettings);
    backupMenu_->addAction(QStringLiteral("Import Settings\u2026"), &viewModel_,
                           &AppViewModel::importSettings);
    connect(historyButton_, &QPushButton::clicked, &viewModel_,
            [this] { viewModel_.setShowHistory(true); });
    connect(logsButton_, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(viewModel_.logsFolder())); });

    auto* titles = new QVBoxLayout;
    titles->setSpacing(0);
    titles->addWidget(name);
    titles->addWidget(taglineLabel_);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(icon);
    layout->addLayout(titles);
    layout->addSpacing(16);
    layout->addWidget(badge_);
    layout->addStretch(1);
    layout->addWidget(historyButton_);
    layout->addWidget(logsButton_);
    layout->addWidget(backupButton_);

    connect(&viewModel_, &AppViewModel::lastResultChanged, this, &HeaderBar::showLastResult);
    followPalette(this, [this] {
        applyPalette();
        showLastResult();
    });
}

QPushButton* HeaderBar::makeButton(QPushButton* button, const QString& symbol,
                                   const char* objectName) {
    button->setObjectName(QString::fromLatin1(objectName));
    button->setProperty("symbol", symbol);
    button->setFlat(true);
    return button;
}

void HeaderBar::showLastResult() {
    const auto& result = viewModel_.lastResult();
    badge_->setVisible(result.has_value());
    if (!result)
        return;
    badgeLabel_->setText(lastRunBadgeText(*result));
    badgeDot_->setColor(
        namedColor(result->status == SyncStatus::success ? NamedColor::green : NamedColor::red));
}

void HeaderBar::applyPalette() {
    for (auto* button : {historyButton_, logsButton_, backupButton_})
        button->setIcon(symbolIcon(button->property("symbol").toString()));
}

} // namespace quillfen
