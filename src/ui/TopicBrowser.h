#pragma once

#include <QWidget>

class QListWidget;
class QStackedWidget;

namespace quillfen {

// A list of topics on the left and the chosen topic's page on the right,
// scrolling on its own; the first topic is chosen at first.
class TopicBrowser : public QWidget {
    Q_OBJECT

public:
    // `listName` is what screen readers call the topic list.
    explicit TopicBrowser(const QString& listName, QWidget* parent = nullptr);

    // `symbol` may be empty. The page becomes the browser's.
    void addTopic(const QString& title, const QString& symbol, QWidget* page);

    QListWidget* topicList() const { return list_; }
    // The page of the chosen topic.
    QWidget* currentPage() const;

private:
    void paintIcons();

    QListWidget* list_;
    QStackedWidget* pages_;
};

} // namespace quillfen
