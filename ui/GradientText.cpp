#include "ui/GradientText.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace quorlix {

GradientText::GradientText(QQuickItem* parent) : QQuickPaintedItem(parent) {
    setAntialiasing(true);
    setOpaquePainting(false);
    relayout();
}

void GradientText::setText(const QString& text) {
    if (text_ == text)
        return;
    text_ = text;
    relayout();
    Q_EMIT textChanged();
}

void GradientText::setFont(const QFont& font) {
    if (font_ == font)
        return;
    font_ = font;
    relayout();
    Q_EMIT fontChanged();
}

void GradientText::relayout() {
    const QFontMetricsF metrics(font_);
    setImplicitSize(std::ceil(metrics.horizontalAdvance(text_)), std::ceil(metrics.height()));
    setBaselineOffset(metrics.ascent());
    update();
}

void GradientText::paint(QPainter* painter) {
    if (text_.isEmpty())
        return;
    const QFontMetricsF metrics(font_);
    const QRectF box(0, 0, width(), height());
    // Centred in the item when it is wider than the text.
    const qreal x = (box.width() - metrics.horizontalAdvance(text_)) / 2;
    QPainterPath path;
    path.addText(QPointF(std::max<qreal>(0, x), metrics.ascent()), font_, text_);
    QLinearGradient gradient(box.topLeft(), box.bottomRight());
    gradient.setColorAt(0, QColor(0xa8, 0x55, 0xf7));
    gradient.setColorAt(0.5, QColor(0x7b, 0x6c, 0xf6));
    gradient.setColorAt(1, QColor(0x3b, 0x82, 0xf6));
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillPath(path, gradient);
}

} // namespace quorlix
