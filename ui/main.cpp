#include "ui/QuorlixApp.h"

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
    QGuiApplication::setDesktopFileName(QStringLiteral("quorlix"));
    quorlix::QuorlixApp app;
    return app.exec();
}
