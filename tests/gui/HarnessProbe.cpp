// A small window with the kinds of control the outside-in tests drive: a
// button that opens Qt's own folder dialog, a label that shows the chosen
// folder, a check box, and a tray icon whose menu quits. It proves the
// desktop harness on its own, apart from the application's window.
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QVBoxLayout>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Harness Probe"));
    auto* chosen = new QLabel(QStringLiteral("No folder selected"));
    auto* choose = new QPushButton(QStringLiteral("Choose…"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(chosen);
    layout->addWidget(choose);
    layout->addWidget(new QCheckBox(QStringLiteral("Mirror")));

    auto* dialog = new QFileDialog(&window, QStringLiteral("Choose source folder"));
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    QObject::connect(choose, &QPushButton::clicked, dialog, qOverload<>(&QFileDialog::open));
    QObject::connect(dialog, &QFileDialog::fileSelected, chosen, &QLabel::setText);

    QPixmap square(22, 22);
    square.fill(Qt::darkCyan);
    QSystemTrayIcon tray{QIcon(square)};
    QMenu menu;
    menu.addAction(QStringLiteral("Quit"), &app, &QApplication::quit);
    tray.setContextMenu(&menu);
    tray.show();

    window.resize(480, 240);
    window.show();
    return QApplication::exec();
}
