#include "ui/SyncProgressView.h"

#include "app/AppViewModel.h"
#include "ui/QuietLabel.h"
#include "ui/Typography.h"

#include <QLabel>
#include <QVBoxLayout>

namespace quillfen {

SyncProgressView::SyncProgressView(AppViewModel& viewModel, QWidget* parent)
    : QWidget(parent), viewModel_(viewModel),
      statusLabel_(new QuietLabel(QStringLiteral("Ready"))) {
    setObjectName(QStringLiteral("syncProgressView"));
    statusLabel_->setObjectName(QStringLiteral("progressStatusLabel"));
    applyTextStyle(statusLabel_, TextStyle::subheadline);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(statusLabel_);
    layout->addStretch();
}

} // namespace quillfen
