#pragma once

#include "ui/TintedSheet.h"

namespace quillfen {

class TopicBrowser;

// "Terms of Use": overview, liability, privacy and copyright, each a
// section of its own.
class TermsSheet : public TintedSheet {
    Q_OBJECT

public:
    explicit TermsSheet(QWidget* parent = nullptr);

    TopicBrowser* browser() const { return browser_; }

private:
    TopicBrowser* browser_;
};

} // namespace quillfen
