#include "app/AppModel.h"
#include "ui/CommandLine.h"
#include "ui/QuorlixApp.h"

#include <QDir>
#include <QGuiApplication>
#include <QUrl>
#include <QtQml/QQmlExtensionPlugin>
#include <cstdio>
#include <cstdlib>

#ifndef QUORLIX_VERSION
#define QUORLIX_VERSION "?"
#endif

Q_IMPORT_QML_PLUGIN(QuorlixPlugin)

int main(int argc, char* argv[]) {
    using quorlix::CommandLine;
    // Before the application object, which needs a display.
    const CommandLine early = CommandLine::parseEarly(argc, argv);
    if (early.action == CommandLine::Action::help) {
        std::fputs(qPrintable(CommandLine::helpText(QStringLiteral("quorlix"))), stdout);
        return 0;
    }
    if (early.action == CommandLine::Action::version) {
        std::printf("quorlix %s\n", QUORLIX_VERSION);
        return 0;
    }
    QGuiApplication application(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Quorlix"));
    QGuiApplication::setOrganizationName(QStringLiteral("Quorlix"));
    QGuiApplication::setApplicationVersion(QStringLiteral(QUORLIX_VERSION));
    // Names the installed desktop entry, so the desktop matches windows to its icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quorlix.Quorlix"));
    const CommandLine line = CommandLine::parse(QCoreApplication::arguments().mid(1));
    if (line.action == CommandLine::Action::error) {
        std::fprintf(stderr, "quorlix: %s Try quorlix --help.\n", qPrintable(line.problem));
        return 2;
    }
    int code = 0;
    {
        quorlix::QuorlixApp app;
        // A desktop launcher may hand over a file: URL instead of a path.
        if (line.folder.startsWith(QLatin1String("file:")))
            app.scanAtStart(QUrl(line.folder));
        else if (!line.folder.isEmpty())
            app.scanAtStart(QUrl::fromLocalFile(QDir::current().absoluteFilePath(line.folder)));
        code = app.exec();
    }
    // A scan busy in one long decode is not waited for on quit; the libraries it is inside must
    // not be torn down under it.
    if (quorlix::ScanSession::scansLeftRunning() > 0) {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
