#pragma once

#include <QString>

#include <utility>
#include <vector>

namespace quillfen {

// One block of a help topic's page.
struct HelpBlock {
    enum class Kind {
        paragraph,   // `text`, with **bold** runs
        definitions, // `rows`: term, description
        shortcuts,   // `rows`: keys, action
        version,     // "Version " and the application's version
    };
    Kind kind;
    QString text;
    std::vector<std::pair<QString, QString>> rows;
};

struct HelpTopic {
    QString id;
    QString label;
    QString icon; // a symbol name
    std::vector<HelpBlock> blocks;
};

// The help browser's topics in order, "overview" first.
const std::vector<HelpTopic>& helpTopics();

} // namespace quillfen
