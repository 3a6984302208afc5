#include "ui/QuorlixApp.h"

#include "app/AppModel.h"
#include "app/QuorlixConfig.h"
#include "app/StringCatalogue.h"
#include "engine/core/Log.h"
#include "ui/AppModelForeign.h"
#include "ui/ShareCardPainter.h"
#include "ui/StartupDiagnosis.h"
#include "ui/ThumbnailProvider.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QLocale>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QTimer>
#include <cstdio>

namespace quorlix {

QuorlixApp::QuorlixApp(AppModel::ScanFunction scan) {
    model_ = std::make_unique<AppModel>(std::move(scan), nullptr);
    applyLanguageOverride(QuorlixConfig::load().language);
    StringCatalogue::shared().loadForLaunch();
    // Numbers and dates in the window follow the interface language.
    QLocale::setDefault(StringCatalogue::shared().locale());
    registerFonts();
    // After the fonts: the card looks up its typeface once, on first use.
    model_->setShareCardRenderer(ShareCardPainter::renderer());
}

QuorlixApp::~QuorlixApp() {
    engine_.reset();
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

QQuickWindow* QuorlixApp::loadWindow(QQmlApplicationEngine& engine, const QUrl& url,
                                     QString* failure) {
    engine.addImportPath(QStringLiteral("qrc:/"));
    QList<QQmlError> errors;
    const auto connection =
        QObject::connect(&engine, &QQmlEngine::warnings,
                         [&errors](const QList<QQmlError>& list) { errors += list; });
    engine.load(url);
    QObject::disconnect(connection);
    const auto roots = engine.rootObjects();
    auto* window = roots.isEmpty() ? nullptr : qobject_cast<QQuickWindow*>(roots.constLast());
    if (!window && failure)
        *failure = startupFailureMessage(errors);
    return window;
}

QQuickWindow* QuorlixApp::load() {
    if (window_)
        return window_;
    AppModelForeign::setInstance(model_.get());
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/Quorlix/images/AppLogo-128.png")));
    engine_ = std::make_unique<QQmlApplicationEngine>();
    engine_->addImageProvider(QLatin1String(ThumbnailProvider::providerName),
                              new ThumbnailProvider);
    QString failure;
    QQuickWindow* window =
        loadWindow(*engine_, QUrl(QStringLiteral("qrc:/Quorlix/Main.qml")), &failure);
    if (!window) {
        log::error(log::Category::app, failure.toStdString());
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return nullptr;
    }
    log::info(log::Category::app, "Application did finish launching v" +
                                      QCoreApplication::applicationVersion().toStdString());
    window_ = window;
    return window_;
}

int QuorlixApp::exec() {
    if (!load())
        return 1;
    if (!startFolder_.isEmpty())
        QTimer::singleShot(0, model_.get(), [model = model_.get(), folder = startFolder_] {
            model->startScan(folder);
        });
    return QCoreApplication::exec();
}

} // namespace quorlix
