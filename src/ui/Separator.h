#pragma once

#include <QFrame>

namespace quillfen {

// A thin horizontal line between two parts of a view.
class Separator : public QFrame {
    Q_OBJECT

public:
    explicit Separator(QWidget* parent = nullptr);
};

} // namespace quillfen
