#pragma once

#include "app/AppModel.h"

#include <QObject>
#include <QtQml/qqml.h>

class QJSEngine;
class QQmlEngine;

namespace quorlix {

// Hands QML the process's one AppModel as the singleton `AppModel`; whoever owns the model
// installs it before the first QML file is loaded.
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
};

} // namespace quorlix
