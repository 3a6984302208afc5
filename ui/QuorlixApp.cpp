#include "ui/QuorlixApp.h"

#include "app/AppModel.h"
#include "app/QuorlixConfig.h"
#include "app/StringCatalogue.h"
#include "engine/Log.h"
#include "ui/AppModelForeign.h"
#include "ui/StartupDiagnosis.h"
#include "ui/TourDriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QLocale>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <cstdio>

namespace quorlix {

QuorlixApp::QuorlixApp() : tour_(TourDriver::fromEnvironment()) {
    model_ = std::make_unique<AppModel>(tour_ ? tour_->scanFunction() : nullptr, nullptr);
    applyLanguageOverride(QuorlixConfig::load().language);
    StringCatalogue::shared().loadForLaunch();
    // Numbers and dates in the window follow the interface language.
    QLocale::setDefault(StringCatalogue::shared().locale());
    registerFonts();
}

QuorlixApp::~QuorlixApp() {
    engine_.reset();
    if (tour_)
        tour_->release();
    model_.reset();
    AppModelForeign::setInstance(nullptr);
}

QStringList QuorlixApp::registerFonts(const QString& directory) {
    QStringList families;
    for (const char* name : {"Fraunces-Latin-300", "Fraunces-Latin-600"}) {
        const QString file =
            QDir(directory).filePath(QLatin1String(name) + QLatin1String(".woff2"));
        if (!QFile::exists(file))
            continue;
        const int id = QFontDatabase::addApplicationFont(file);
        if (id >= 0)
            families += QFontDatabase::applicationFontFamilies(id);
    }
    families.removeDuplicates();
    return families;
}

int QuorlixApp::exec() {
    AppModelForeign::setInstance(model_.get());
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/Quorlix/images/AppLogo-128.png")));
    engine_ = std::make_unique<QQmlApplicationEngine>();
    engine_->addImportPath(QStringLiteral("qrc:/"));
    QList<QQmlError> errors;
    QObject::connect(engine_.get(), &QQmlEngine::warnings,
                     [&errors](const QList<QQmlError>& list) { errors += list; });
    engine_->load(QUrl(QStringLiteral("qrc:/Quorlix/Main.qml")));

    auto* window = engine_->rootObjects().isEmpty()
                       ? nullptr
                       : qobject_cast<QQuickWindow*>(engine_->rootObjects().constFirst());
    if (!window) {
        const QString message = startupFailureMessage(errors);
        log::error(log::Category::app, message.toStdString());
        std::fprintf(stderr, "%s\n", qPrintable(message));
        return 1;
    }
    log::info(log::Category::app, "Application did finish launching v" +
                                      QCoreApplication::applicationVersion().toStdString());
    if (tour_)
        tour_->start(window, model_.get());
    return QCoreApplication::exec();
}

} // namespace quorlix
