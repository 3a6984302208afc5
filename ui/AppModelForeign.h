#pragma once

#include "app/AppModel.h"

#include <QObject>
#include <QtQml/qqml.h>

class QJSEngine;
class QQmlEngine;

namespace quorlix {

// Hands QML the process's one AppModel as the singleton `AppModel`; whoever owns the model
// installs it before the first QML file is loaded. Other singletons reach it through their
// engine (`of`); view helpers are given it as their `appModel` property.
struct AppModelForeign {
    Q_GADGET
    QML_FOREIGN(quorlix::AppModel)
    QML_NAMED_ELEMENT(AppModel)
    QML_SINGLETON

public:
    static AppModel* create(QQmlEngine* qmlEngine, QJSEngine* jsEngine);
    // The model QML sees; the caller keeps ownership. nullptr forgets it.
    static void setInstance(AppModel* model);
    static AppModel* instance();
    // The AppModel singleton of `engine`; nullptr when none was installed.
    static AppModel* of(QQmlEngine* engine);
};

// The scan's types as QML sees them on AppModel's properties; never made in QML.
struct ScanSessionForeign {
    Q_GADGET
    QML_FOREIGN(quorlix::ScanSession)
    QML_NAMED_ELEMENT(ScanSession)
    QML_UNCREATABLE("The scan belongs to AppModel.")
};

} // namespace quorlix
