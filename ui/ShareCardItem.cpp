#include "ui/ShareCardItem.h"

#include "app/AppModel.h"
#include "ui/ShareCardPainter.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace quorlix {

ShareCardItem::ShareCardItem(QQuickItem* parent) : QQuickPaintedItem(parent) {
    setImplicitSize(ShareCardPainter::width, ShareCardPainter::height);
    setAntialiasing(true);
    setOpaquePainting(false);
}

ShareCardItem::~ShareCardItem() = default;

void ShareCardItem::setAppModel(AppModel* model) {
    if (appModel_ == model)
        return;
    disconnect(resultConnection_);
    appModel_ = model;
    if (model)
        resultConnection_ = connect(model, &AppModel::resultChanged, this, &ShareCardItem::refresh);
    refresh();
    Q_EMIT appModelChanged();
}

void ShareCardItem::setResult(const ScanResult& result) {
    card_ = std::make_unique<ShareCardPainter>(ShareCardPainter::contentFor(result));
    update();
    Q_EMIT cardChanged();
}

void ShareCardItem::refresh() {
    if (appModel_ && appModel_->result()) {
        setResult(*appModel_->result());
        return;
    }
    card_.reset();
    update();
    Q_EMIT cardChanged();
}

void ShareCardItem::setRadius(qreal radius) {
    if (qFuzzyCompare(radius_, radius))
        return;
    radius_ = radius;
    update();
    Q_EMIT radiusChanged();
}

void ShareCardItem::paint(QPainter* painter) {
    if (!card_)
        return;
    const QRectF bounds(0, 0, width(), height());
    if (radius_ > 0) {
        // The card's own rectangle inside the item, as the painter centres it.
        const qreal scale =
            std::min(width() / ShareCardPainter::width, height() / ShareCardPainter::height);
        QRectF cardRect(0, 0, ShareCardPainter::width * scale, ShareCardPainter::height * scale);
        cardRect.moveCenter(bounds.center());
        QPainterPath shape;
        shape.addRoundedRect(cardRect, radius_, radius_);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setClipPath(shape);
    }
    card_->paint(*painter, bounds);
}

} // namespace quorlix
