#include "ui/AppModelForeign.h"

#include <QJSEngine>
#include <QPointer>
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

} // namespace quorlix
