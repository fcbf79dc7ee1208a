#pragma once

#include "ui/TintedSheet.h"

namespace quillfen {

class TopicBrowser;

// "Release Notes": the latest version, the list of versions and the chosen
// version's date and changes, from the notes shipped with the application.
// Notes that cannot be read leave the list empty; the sheet still opens.
class ReleaseNotesSheet : public TintedSheet {
    Q_OBJECT

public:
    explicit ReleaseNotesSheet(const QString& notesLocation, QWidget* parent = nullptr);

    TopicBrowser* browser() const { return browser_; }

private:
    TopicBrowser* browser_;
};

} // namespace quillfen
