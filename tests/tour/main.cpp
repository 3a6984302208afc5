#include "TourDriver.h"
#include "ui/QuorlixApp.h"

#include <QGuiApplication>
#include <QtQml/QQmlExtensionPlugin>
#include <cstdio>

Q_IMPORT_QML_PLUGIN(QuorlixPlugin)

// The real window, steered by the tour driver through QuorlixApp's test seam.
int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Quorlix"));
    QGuiApplication::setOrganizationName(QStringLiteral("Quorlix"));
    QGuiApplication::setApplicationVersion(QStringLiteral(QUORLIX_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("quorlix"));
    QString problem;
    const auto driver = quorlix::TourDriver::fromArguments(QCoreApplication::arguments(), &problem);
    if (!driver) {
        std::fprintf(stderr, "quorlix-tour: %s\n", qPrintable(problem));
        return 2;
    }
    int status = 1;
    {
        quorlix::QuorlixApp app(driver->scanFunction());
        if (QQuickWindow* window = app.load()) {
            driver->start(window, &app.model());
            status = app.exec();
        }
        // A scan paused at a checkpoint must run on before the model waits for it.
        driver->release();
    }
    return status;
}
