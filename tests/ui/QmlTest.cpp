#include "UiTestEnvironment.h"
#include "ui/AppModelForeign.h"
#include "ui/ThumbnailProvider.h"

#include <QQmlEngine>
#include <QStandardPaths>
#include <QtQml/QQmlExtensionPlugin>
#include <QtQuickTest/quicktest.h>

Q_IMPORT_QML_PLUGIN(QuorlixPlugin)

namespace {

// Gives the views one model, as the application does, plus the harness as `Harness`.
class Setup : public QObject {
    Q_OBJECT

public Q_SLOTS:
    void applicationAvailable() { QStandardPaths::setTestModeEnabled(true); }
    void qmlEngineAvailable(QQmlEngine* engine) {
        if (!harness_)
            harness_ = std::make_unique<quorlix::test::ModelHarness>();
        harness_->reset();
        quorlix::AppModelForeign::setInstance(harness_->model());
        engine->addImportPath(QStringLiteral("qrc:/"));
        engine->addImageProvider(QLatin1String(quorlix::ThumbnailProvider::providerName),
                                 new quorlix::ThumbnailProvider);
        QJSEngine::setObjectOwnership(harness_.get(), QJSEngine::CppOwnership);
        static const bool registered [[maybe_unused]] =
            qmlRegisterSingletonInstance("QuorlixTest", 1, 0, "Harness", harness_.get()) >= 0;
    }
    void cleanupTestCase() { harness_.reset(); }

private:
    std::unique_ptr<quorlix::test::ModelHarness> harness_;
};

struct Isolate {
    Isolate() { quorlix::test::isolateEnvironment(/*keepDisplay=*/true); }
} isolate;

} // namespace

QUICK_TEST_MAIN_WITH_SETUP(quorlix_ui, Setup)

#include "QmlTest.moc"
