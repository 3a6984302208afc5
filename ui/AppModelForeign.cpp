#include "ui/AppModelForeign.h"

#include <QJSEngine>
#include <QPointer>
#include <QQmlEngine>
#include <QtGlobal>

namespace quorlix {

namespace {
QPointer<AppModel>& current() {
    static QPointer<AppModel> model;
    return model;
}
} // namespace

AppModel* AppModelForeign::create(QQmlEngine*, QJSEngine*) {
    AppModel* model = current();
    Q_ASSERT_X(model, "AppModelForeign::create", "no AppModel installed before loading QML");
    // The owner outlives the engine; QML must never delete it.
    QJSEngine::setObjectOwnership(model, QJSEngine::CppOwnership);
    return model;
}

void AppModelForeign::setInstance(AppModel* model) {
    current() = model;
}

AppModel* AppModelForeign::instance() {
    return current();
}

AppModel* AppModelForeign::of(QQmlEngine* engine) {
    if (!engine || !current())
        return nullptr;
    return engine->singletonInstance<AppModel*>(qmlTypeId("Quorlix", 1, 0, "AppModel"));
}

} // namespace quorlix
