#include "ui/ShareCardItem.h"

#include "app/AppModel.h"
#include "ui/AppModelForeign.h"
#include "ui/ShareCardPainter.h"

#include <QPainter>

namespace quorlix {

ShareCardItem::ShareCardItem(QQuickItem* parent) : QQuickPaintedItem(parent) {
    setImplicitSize(ShareCardPainter::width, ShareCardPainter::height);
    setAntialiasing(true);
    setOpaquePainting(false);
    setAppModel(AppModelForeign::instance());
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

void ShareCardItem::paint(QPainter* painter) {
    if (card_)
        card_->paint(*painter, QRectF(0, 0, width(), height()));
}

} // namespace quorlix
