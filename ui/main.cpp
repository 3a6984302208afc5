#include "ui/QuorlixApp.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QtQml/QQmlExtensionPlugin>

#ifndef QUORLIX_VERSION
#define QUORLIX_VERSION "?"
#endif

Q_IMPORT_QML_PLUGIN(QuorlixPlugin)

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Quorlix"));
    QGuiApplication::setOrganizationName(QStringLiteral("Quorlix"));
    QGuiApplication::setApplicationVersion(QStringLiteral(QUORLIX_VERSION));
    // Names the installed desktop entry, so the desktop matches windows to its icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quorlix.Quorlix"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Finds copies and look-alike bursts of photos in a folder."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("folder"),
        QStringLiteral("Folder to scan at once; a file stands for the folder that holds it."),
        QStringLiteral("[FOLDER]"));
    parser.process(application);

    quorlix::QuorlixApp app;
    const QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty())
        app.setStartFolder(positional.front());
    return app.exec();
}
