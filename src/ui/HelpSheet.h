#pragma once

#include "ui/TintedSheet.h"

namespace quillfen {

struct HelpTopic;
class TopicBrowser;

// "Quillfen Help": the help topics beside the chosen topic's page,
// "Overview" first.
class HelpSheet : public TintedSheet {
    Q_OBJECT

public:
    explicit HelpSheet(QWidget* parent = nullptr);

    TopicBrowser* browser() const { return browser_; }

private:
    static QWidget* makePage(const HelpTopic& topic);

    TopicBrowser* browser_;
};

} // namespace quillfen
