#pragma once

#include "app/AppModel.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqml.h>
#include <cstdint>

class QJSEngine;
class QQmlEngine;

namespace quorlix {

// The counts and sizes of the model's current result that the results screen shows, kept
// up to date with every change of the result (keeper changes, moves, undo). One per engine,
// as the QML singleton `ResultSummary`.
class ResultSummary : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(quorlix::AppModel* appModel READ appModel WRITE setAppModel NOTIFY appModelChanged)
    Q_PROPERTY(bool hasResult READ hasResult NOTIFY changed)
    Q_PROPERTY(qint64 totalPhotos READ totalPhotos NOTIFY changed)
    // A finished scan that found no photo at all: nothing was checked, so nothing is clean.
    Q_PROPERTY(bool noPhotos READ noPhotos NOTIFY changed)
    Q_PROPERTY(qint64 duplicateCount READ duplicateCount NOTIFY changed)
    Q_PROPERTY(double exactReclaimableBytes READ exactReclaimableBytes NOTIFY changed)
    Q_PROPERTY(int groupCount READ groupCount NOTIFY changed)
    Q_PROPERTY(int exactGroupCount READ exactGroupCount NOTIFY changed)
    Q_PROPERTY(int nearGroupCount READ nearGroupCount NOTIFY changed)
    // summaryText() of the current result; empty without a result.
    Q_PROPERTY(QString text READ text NOTIFY changed)

public:
    // No default: QML would construct the singleton itself and never call create().
    explicit ResultSummary(AppModel* model, QObject* parent = nullptr);
    // Follows the AppModel of the engine that asks.
    static ResultSummary* create(QQmlEngine* qmlEngine, QJSEngine* jsEngine);

    AppModel* appModel() const { return appModel_; }
    void setAppModel(AppModel* model);

    bool hasResult() const { return appModel_ && appModel_->result(); }
    qint64 totalPhotos() const;
    bool noPhotos() const { return hasResult() && totalPhotos() == 0; }
    qint64 duplicateCount() const;
    double exactReclaimableBytes() const;
    int groupCount() const;
    int exactGroupCount() const;
    int nearGroupCount() const;
    QString text() const;

    // "24 photos · 5 duplicates · 12.3 MB reclaimable", each count singular or plural as it
    // reads; the size only when it shows more than nothing (after a move that took every exact
    // copy, "0 MB" would say nothing true).
    static QString summaryText(std::int64_t photos, std::int64_t duplicates,
                               std::int64_t reclaimableBytes);

    // A byte amount as the screens show it: decimal megabytes or gigabytes, never smaller units.
    Q_INVOKABLE static QString formatBytes(double bytes);

Q_SIGNALS:
    void appModelChanged();
    void changed();

private:
    int countOf(ScanResult::Kind kind) const;

    QPointer<AppModel> appModel_;
    QMetaObject::Connection resultConnection_;
};

} // namespace quorlix
