#include "app/AppModel.h"
#include "ui/QuorlixApp.h"

#include <QGuiApplication>
#include <QtQml/QQmlExtensionPlugin>
#include <cstdio>
#include <cstdlib>

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
    int code = 0;
    {
        quorlix::QuorlixApp app;
        code = app.exec();
    }
    // A scan busy in one long decode is not waited for on quit; the libraries it is inside must
    // not be torn down under it.
    if (quorlix::AppModel::scansLeftRunning() > 0) {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
