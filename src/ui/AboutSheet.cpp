#include "ui/AboutSheet.h"

#include "app/AppViewModel.h"
#include "ui/ProductTexts.h"
#include "ui/SheetParts.h"
#include "ui/SymbolIcons.h"

#include <QLabel>
#include <QVBoxLayout>

namespace quillfen {

AboutSheet::AboutSheet(QWidget* parent) : TintedSheet(QStringLiteral("About Quillfen"), parent) {
    setObjectName(QStringLiteral("aboutSheetDialog"));
    hideHeaderTitle();
    auto* icon = new QLabel;
    icon->setPixmap(applicationIcon().pixmap(QSize(72, 72), devicePixelRatioF()));
    icon->setAccessibleName(QStringLiteral("Quillfen"));
    auto* name =
        makeTextLabel(QStringLiteral("Quillfen"), TextStyle::title, Tint::text, "productNameLabel");
    auto* version = makeTextLabel(AppViewModel::versionText(), TextStyle::callout, Tint::secondary,
                                  "versionLabel");
    auto* tagline = makeTextLabel(kAboutTagline, TextStyle::body, Tint::text, "taglineLabel");
    auto* copyright =
        makeTextLabel(kCopyrightNotice, TextStyle::caption, Tint::secondary, "copyrightLabel");
    contentLayout()->addStretch(1);
    for (QLabel* label : {icon, name, version, tagline, copyright})
        contentLayout()->addWidget(label, 0, Qt::AlignHCenter);
    contentLayout()->insertSpacing(contentLayout()->count() - 1, 10);
    contentLayout()->addStretch(1);
    setFixedSize(sizeHint().expandedTo(QSize(360, 300)));
}

} // namespace quillfen
