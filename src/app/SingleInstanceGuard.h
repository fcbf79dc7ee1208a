#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QString>

#include <chrono>

namespace quillfen {

// Keeps to one running application per user: the first process listens on a
// per-user local socket; a later one finds it there, asks it to show its
// window and exits, so two processes never write the same data files.
class SingleInstanceGuard : public QObject {
    Q_OBJECT

public:
    // `socketPath` is the socket's full path; `waitTime` bounds how long a
    // later launch waits for the running one.
    explicit SingleInstanceGuard(QString socketPath = defaultSocketPath(),
                                 std::chrono::milliseconds waitTime = std::chrono::seconds(2),
                                 QObject* parent = nullptr);

    // "$XDG_RUNTIME_DIR/quillfen.socket", or a name with the user id in the
    // temporary folder when there is no runtime folder.
    static QString defaultSocketPath();

    // True when this process is now the one instance. False when another one
    // runs: it has been asked to show its window and this process should exit.
    bool tryBecomePrimary();

signals:
    // A later launch asked this (primary) instance to bring its window forward.
    void showRequested();

private:
    bool askRunningInstanceToShow() const;
    void acceptConnections();
    void readRequest(QLocalSocket* socket);

    QString socketPath_;
    std::chrono::milliseconds waitTime_;
    QLocalServer server_;
};

} // namespace quillfen
