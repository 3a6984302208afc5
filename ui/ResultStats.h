#pragma once

#include "app/AppModel.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QtQml/qqml.h>

namespace quorlix {

// The three numbers of a result as the splash shows them (duplicates, reclaimable, photos
// scanned), in the very words of the share card. Follows the model's result; empty without one.
class ResultStats : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(quorlix::AppModel* appModel READ appModel WRITE setAppModel NOTIFY appModelChanged)
    Q_PROPERTY(QStringList values READ values NOTIFY changed)
    // Already upper case.
    Q_PROPERTY(QStringList labels READ labels NOTIFY changed)

public:
    explicit ResultStats(QObject* parent = nullptr);

    AppModel* appModel() const { return model_; }
    void setAppModel(AppModel* model);
    QStringList values() const { return values_; }
    QStringList labels() const { return labels_; }

Q_SIGNALS:
    void appModelChanged();
    void changed();

private:
    void refresh();

    QPointer<AppModel> model_;
    QMetaObject::Connection connection_;
    QStringList values_;
    QStringList labels_;
};

} // namespace quorlix
