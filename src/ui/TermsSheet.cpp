#include "ui/TermsSheet.h"

#include "ui/ProductTexts.h"
#include "ui/SheetParts.h"
#include "ui/TopicBrowser.h"

#include <QLabel>
#include <QVBoxLayout>

namespace quillfen {
namespace {

// A paragraph of a section, under its heading when it has one.
struct Paragraph {
    const char* heading;
    QString text;
};

QWidget* makeSection(const char* id, std::initializer_list<Paragraph> paragraphs) {
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(id) + QStringLiteral("TermsPageWidget"));
    auto* layout = new QVBoxLayout(page);
    layout->setSpacing(12);
    for (const auto& [heading, text] : paragraphs) {
        if (heading)
            layout->addWidget(makeTextLabel(QString::fromUtf8(heading), TextStyle::headline));
        auto* label = makeTextLabel(text, TextStyle::body);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    layout->addStretch(1);
    return page;
}

} // namespace

TermsSheet::TermsSheet(QWidget* parent)
    : TintedSheet(QStringLiteral("Terms of Use"), parent),
      browser_(new TopicBrowser(QStringLiteral("Sections"))) {
    setObjectName(QStringLiteral("termsSheetDialog"));
    setMinimumSize(520, 360);
    resize(620, 420);
    browser_->addTopic(
        QStringLiteral("Overview"), QString(),
        makeSection("overview",
                    {{nullptr, QStringLiteral("Quillfen is provided as-is for personal backup and "
                                              "file synchronisation use. By using this app you "
                                              "agree to these terms.")},
                     {nullptr, QStringLiteral("Quillfen copies files between locations you "
                                              "specify. You are responsible for ensuring you have "
                                              "the right to access and copy all files "
                                              "involved.")}}));
    browser_->addTopic(
        QStringLiteral("Liability"), QString(),
        makeSection("liability",
                    {{"Limitation of Liability",
                      QStringLiteral("Quillfen is provided without warranty of any kind. The "
                                     "developer is not liable for data loss, corruption, or any "
                                     "damages resulting from use of this application.")},
                     {nullptr, QStringLiteral("Always maintain independent backups of important "
                                              "data. Preview syncs before applying to confirm "
                                              "expected behaviour.")}}));
    browser_->addTopic(
        QStringLiteral("Privacy"), QString(),
        makeSection(
            "privacy",
            {{"No collection", QStringLiteral("Quillfen does not collect, transmit, or share any "
                                              "personal data or file information.")},
             {"Local only", QStringLiteral("All data (history, profiles, logs, preferences) is "
                                           "stored locally on your device under "
                                           "~/.local/share/Quillfen.")},
             {"No analytics",
              QStringLiteral("No crash reporting, analytics, or usage tracking of any kind.")},
             {"No network", QStringLiteral("Quillfen does not make any network requests.")}}));
    browser_->addTopic(
        QStringLiteral("Copyright"), QString(),
        makeSection("copyright",
                    {{nullptr, kCopyrightNotice},
                     {nullptr, QStringLiteral("No part of Quillfen may be reproduced, distributed "
                                              "or modified without the written permission of the "
                                              "Quillfen developers.")}}));
    contentLayout()->addWidget(browser_);
}

} // namespace quillfen
