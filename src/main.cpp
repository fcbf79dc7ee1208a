#include "app/SingleInstanceGuard.h"
#include "ui/ApplicationIdentity.h"
#include "ui/DesktopApplication.h"

#include <QApplication>
#include <QCommandLineParser>

#include <Version.h>

int main(int argc, char** argv) {
    using namespace quillfen;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    QApplication::setApplicationVersion(QString::fromLatin1(kAppVersion));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Keeps two folders in step."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption hidden(QStringLiteral("hidden"),
                                    QStringLiteral("Start in the system tray without the window."));
    parser.addOption(hidden);
    parser.process(application);

    // Two processes would overwrite each other's data files: a second launch
    // brings the running window forward and ends.
    SingleInstanceGuard guard;
    if (!guard.tryBecomePrimary())
        return 0;
    DesktopApplication desktop(parser.isSet(hidden));
    QObject::connect(&guard, &SingleInstanceGuard::showRequested, &desktop,
                     &DesktopApplication::showWindow);
    return QApplication::exec();
}
