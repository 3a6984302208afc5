#pragma once

#include "app/AppModel.h"
#include "engine/core/ScanResult.h"

#include <QPointer>
#include <QQuickPaintedItem>
#include <QtQml/qqml.h>
#include <memory>

namespace quorlix {

class ShareCardPainter;

// The share card on screen, drawn by the same painter as the PNG, scaled uniformly to fit the
// item and centred. Follows the model's result; draws nothing without one.
class ShareCardItem : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(quorlix::AppModel* appModel READ appModel WRITE setAppModel NOTIFY appModelChanged)
    Q_PROPERTY(bool hasCard READ hasCard NOTIFY cardChanged)
    // Corners of the drawn card, in item pixels: the preview's frame clips without QML effects.
    Q_PROPERTY(qreal radius READ radius WRITE setRadius NOTIFY radiusChanged)

public:
    explicit ShareCardItem(QQuickItem* parent = nullptr);
    ~ShareCardItem() override;

    AppModel* appModel() const { return appModel_; }
    void setAppModel(AppModel* model);
    // Shows this result instead of the model's, until the model's result changes.
    void setResult(const ScanResult& result);
    bool hasCard() const { return bool(card_); }
    qreal radius() const { return radius_; }
    void setRadius(qreal radius);

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void appModelChanged();
    void cardChanged();
    void radiusChanged();

private:
    void refresh();

    QPointer<AppModel> appModel_;
    QMetaObject::Connection resultConnection_;
    std::unique_ptr<ShareCardPainter> card_;
    qreal radius_ = 0;
};

} // namespace quorlix
