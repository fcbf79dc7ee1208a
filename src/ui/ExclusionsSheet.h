#pragma once

#include "ui/TintedSheet.h"

#ifndef Q_MOC_RUN
#include "records/ExclusionPattern.h"

#include <map>
#include <vector>
#endif

class QCheckBox;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace quillfen {

class AppViewModel;

// Switches the rules of the working exclusion list on and off, adds custom
// rules and removes them; built-in rules can only be switched off. Every
// change goes through the view model, which keeps and saves the list.
//
// The rows are widgets, as the list is a dozen built-in rules and the few a
// user types, and each switch must be reachable by Tab and named for screen
// readers.
class ExclusionsSheet : public TintedSheet {
    Q_OBJECT

public:
    explicit ExclusionsSheet(AppViewModel& viewModel, QWidget* parent = nullptr);

private:
    void render();
    void rebuildRows(const std::vector<ExclusionPattern>& rules);
    QWidget* makeRow(const ExclusionPattern& rule);
    void add();

    AppViewModel& viewModel_;
    QScrollArea* rulesArea_;
    QLineEdit* patternEdit_;
    QPushButton* addButton_;
    // The rules the rows show, in order, and their switches.
    std::vector<Uuid> shownIds_;
    std::map<Uuid, QCheckBox*> switches_;
};

} // namespace quillfen
