#include "ui/ShareCardPainter.h"

#include "app/ByteCountFormat.h"
#include "app/L.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace quorlix {

namespace {

constexpr qreal contentWidth = ShareCardPainter::width - 2 * ShareCardPainter::padding;
constexpr qreal contentBottom = ShareCardPainter::height - ShareCardPainter::padding;
constexpr qreal logoSide = 72;
constexpr qreal logoRadius = 16;
constexpr qreal brandSpacing = 16;
constexpr qreal headlineGap = 20;
constexpr qreal statsGap = 18;
constexpr qreal statSpacing = 28;
constexpr qreal labelGap = 6;
constexpr qreal footerSpacing = 24;
// The glow: a square patch of the brand gradient, blurred, off the centre towards top-right.
// The blur radius is taken as the Gaussian's deviation; three deviations hold all of it.
constexpr qreal glowSide = 720;
constexpr qreal glowBlur = 140;
constexpr qreal glowMargin = 3 * glowBlur;
constexpr qreal glowPointsPerPixel = 10;
constexpr qreal glowOpacity = 0.45;
constexpr QPointF glowOffset(420, -260);

const QColor brandStops[] = {QColor(0xa8, 0x55, 0xf7), QColor(0x7b, 0x6c, 0xf6),
                             QColor(0x3b, 0x82, 0xf6)};

QLinearGradient brandGradient(const QRectF& rect) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomRight());
    gradient.setColorAt(0, brandStops[0]);
    gradient.setColorAt(0.5, brandStops[1]);
    gradient.setColorAt(1, brandStops[2]);
    return gradient;
}

QColor white(qreal opacity) {
    QColor c(Qt::white);
    c.setAlphaF(float(opacity));
    return c;
}

QFont cardFont(const QString& family, int pixels, QFont::Weight weight) {
    QFont font = family.isEmpty() ? QFont() : QFont(family);
    font.setPixelSize(pixels);
    font.setWeight(weight);
    // Unhinted outlines scale linearly, so a preview at 0.12 keeps the PNG's line breaks and
    // proportions.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

qreal advance(const QFont& font, const QString& text) {
    return QFontMetricsF(font).horizontalAdvance(text);
}

// Shrinks the font by whole pixels until the text fits, down to `minimumScale` of its size;
// only then is the text elided. Never wraps.
void fit(QFont& font, QString& text, qreal width, qreal minimumScale) {
    const int full = font.pixelSize();
    const int smallest = std::max(1, int(std::ceil(full * minimumScale)));
    for (int pixels = full; pixels >= smallest; --pixels) {
        font.setPixelSize(pixels);
        if (advance(font, text) <= width)
            return;
    }
    text = QFontMetricsF(font).elidedText(text, Qt::ElideRight, width);
}

// Shares the row among columns: each gets what it needs when all fit, otherwise the narrow
// ones keep their need and the wide ones split the rest evenly.
std::vector<qreal> shareWidths(const std::vector<qreal>& needs, qreal available) {
    std::vector<qreal> widths(needs.size(), 0);
    std::vector<std::size_t> order(needs.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](auto a, auto b) { return needs[a] < needs[b]; });
    qreal left = available;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const qreal fair = left / qreal(order.size() - k);
        widths[order[k]] = std::min(needs[order[k]], fair);
        left -= widths[order[k]];
    }
    return widths;
}

// Premultiplied ARGB, blurred in place by a box of 2r+1 along rows then columns.
void boxBlur(QImage& image, int r) {
    const int w = image.width();
    const int h = image.height();
    std::vector<int> line(std::size_t(std::max(w, h)) * 4);
    auto pass = [&](int count, int length, auto pixelAt) {
        for (int i = 0; i < count; ++i) {
            for (int j = 0; j < length; ++j) {
                const QRgb p = *pixelAt(i, j);
                line[std::size_t(j) * 4 + 0] = qAlpha(p);
                line[std::size_t(j) * 4 + 1] = qRed(p);
                line[std::size_t(j) * 4 + 2] = qGreen(p);
                line[std::size_t(j) * 4 + 3] = qBlue(p);
            }
            for (int j = 0; j < length; ++j) {
                int sum[4] = {0, 0, 0, 0};
                for (int k = std::max(0, j - r); k <= std::min(length - 1, j + r); ++k)
                    for (int c = 0; c < 4; ++c)
                        sum[c] += line[std::size_t(k) * 4 + std::size_t(c)];
                const int n = 2 * r + 1; // outside the image counts as transparent
                *pixelAt(i, j) = qRgba(sum[1] / n, sum[2] / n, sum[3] / n, sum[0] / n);
            }
        }
    };
    pass(h, w, [&](int y, int x) { return reinterpret_cast<QRgb*>(image.scanLine(y)) + x; });
    pass(w, h, [&](int x, int y) { return reinterpret_cast<QRgb*>(image.scanLine(y)) + x; });
}

// The blurred patch with its margin, at one pixel per ten points: a blur this wide holds no
// detail a finer grid would show, and smooth scaling stretches it to any card size.
const QImage& glowImage() {
    static const QImage image = [] {
        const int margin = int(glowMargin / glowPointsPerPixel);
        const int side = int(glowSide / glowPointsPerPixel);
        QImage glow(side + 2 * margin, side + 2 * margin, QImage::Format_ARGB32_Premultiplied);
        glow.fill(Qt::transparent);
        {
            QPainter p(&glow);
            const QRectF patch(margin, margin, side, side);
            p.fillRect(patch, brandGradient(patch));
        }
        // Three box passes of width w approach a Gaussian of deviation sqrt((w² - 1) / 4).
        const qreal sigma = glowBlur / glowPointsPerPixel;
        const int r = std::max(1, int(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2)));
        for (int i = 0; i < 3; ++i)
            boxBlur(glow, r);
        return glow;
    }();
    return image;
}

const QImage& logoImage() {
    static const QImage image(QStringLiteral(":/Quorlix/images/AppLogo.png"));
    return image;
}

} // namespace

QString ShareCardPainter::headlineFamily() {
    static const QString family = [] {
        const QString fraunces = QStringLiteral("Fraunces");
        return QFontDatabase::families().contains(fraunces) ? fraunces : QString();
    }();
    return family;
}

ShareCardPainter::Content ShareCardPainter::contentFor(const ScanResult& result) {
    const QLocale locale;
    Content content;
    content.headline = L::share::cardHeadline();
    content.stats = {
        Stat{locale.toString(qlonglong(result.duplicateCount())),
             L::share::cardDuplicates().toUpper()},
        Stat{formatByteCount(result.exactReclaimableBytes()), L::share::cardReclaim().toUpper()},
        Stat{locale.toString(qlonglong(result.totalPhotos)), L::share::cardScanned().toUpper()}};
    content.punchline = L::share::cardPunchline();
    return content;
}

ShareCardPainter::ShareCardPainter(Content content) : content_(std::move(content)) {
    Layout& l = layout_;
    const QPointF centre(width / 2, height / 2);
    const qreal glowExtent = glowSide + 2 * glowMargin;
    l.glow = QRectF(0, 0, glowExtent, glowExtent);
    l.glow.moveCenter(centre + glowOffset);

    // Brand row.
    l.logo = QRectF(padding, padding, logoSide, logoSide);
    l.nameFont = cardFont({}, 26, QFont::DemiBold);
    const QFontMetricsF nameMetrics(l.nameFont);
    const QString name = QStringLiteral("Quorlix");
    l.name = QRectF(l.logo.right() + brandSpacing, l.logo.center().y() - nameMetrics.height() / 2,
                    nameMetrics.horizontalAdvance(name), nameMetrics.height());

    // Headline, shrunk like the values should a language make it too long.
    l.headlineFont = cardFont(headlineFamily(), 44, QFont::Light);
    l.headlineText = content_.headline;
    fit(l.headlineFont, l.headlineText, contentWidth, minimumValueScale);
    l.headline = QRectF(padding, l.logo.bottom() + headlineGap, contentWidth,
                        QFontMetricsF(l.headlineFont).height());

    // Stats: the values share one baseline, the labels one line below them.
    const QFont fullValue = cardFont({}, int(valuePixels), QFont::Bold);
    l.labelFont = cardFont({}, 16, QFont::DemiBold);
    l.labelFont.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    std::vector<qreal> needs;
    for (const auto& stat : content_.stats)
        needs.push_back(std::max(advance(fullValue, stat.value), advance(l.labelFont, stat.label)));
    const auto widths = shareWidths(needs, contentWidth - 2 * statSpacing);
    const qreal valueHeight = QFontMetricsF(fullValue).height();
    const qreal labelHeight = QFontMetricsF(l.labelFont).height();
    const qreal top = l.headline.bottom() + statsGap;
    qreal x = padding;
    for (std::size_t i = 0; i < l.stats.size(); ++i) {
        StatLayout& s = l.stats[i];
        s.box = QRectF(x, top, widths[i], valueHeight + labelGap + labelHeight);
        s.valueFont = fullValue;
        s.valueText = content_.stats[i].value;
        fit(s.valueFont, s.valueText, widths[i], minimumValueScale);
        s.valueRect = QRectF(x, top, advance(s.valueFont, s.valueText), valueHeight);
        s.labelText = content_.stats[i].label;
        QFont labelFont = l.labelFont;
        if (advance(labelFont, s.labelText) > widths[i])
            s.labelText =
                QFontMetricsF(labelFont).elidedText(s.labelText, Qt::ElideRight, widths[i]);
        s.labelRect = QRectF(x, top + valueHeight + labelGap, widths[i], labelHeight);
        x += widths[i] + statSpacing;
    }

    // Footer: the punchline at the leading edge, the web address at the trailing edge.
    l.webFont = cardFont({}, 22, QFont::Medium);
    const QFontMetricsF webMetrics(l.webFont);
    const QString web = QString::fromLatin1(webAddress);
    l.punchlineFont = cardFont({}, 28, QFont::DemiBold);
    l.punchlineText = content_.punchline;
    const qreal webWidth = webMetrics.horizontalAdvance(web);
    fit(l.punchlineFont, l.punchlineText, contentWidth - webWidth - footerSpacing,
        minimumValueScale);
    const qreal rowHeight =
        std::max(QFontMetricsF(cardFont({}, 28, QFont::DemiBold)).height(), webMetrics.height());
    const qreal rowCentre = contentBottom - rowHeight / 2;
    const qreal punchlineHeight = QFontMetricsF(l.punchlineFont).height();
    l.punchline = QRectF(padding, rowCentre - punchlineHeight / 2,
                         advance(l.punchlineFont, l.punchlineText), punchlineHeight);
    l.web = QRectF(padding + contentWidth - webWidth, rowCentre - webMetrics.height() / 2, webWidth,
                   webMetrics.height());
}

void ShareCardPainter::paint(QPainter& painter, const QRectF& target) const {
    const qreal scale = std::min(target.width() / width, target.height() / height);
    if (!(scale > 0))
        return;
    painter.save();
    painter.translate(target.center());
    painter.scale(scale, scale);
    painter.translate(-width / 2, -height / 2);
    painter.setClipRect(QRectF(0, 0, width, height), Qt::IntersectClip);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    drawCard(painter);
    painter.restore();
}

void ShareCardPainter::drawCard(QPainter& painter) const {
    const Layout& l = layout_;
    QLinearGradient background(0, 0, 0, height);
    background.setColorAt(0, QColor(0x15, 0x12, 0x1f));
    background.setColorAt(1, QColor(0x1c, 0x17, 0x33));
    painter.fillRect(QRectF(0, 0, width, height), background);

    painter.save();
    painter.setOpacity(glowOpacity);
    painter.drawImage(l.glow, glowImage());
    painter.restore();

    QPainterPath logoShape;
    logoShape.addRoundedRect(l.logo, logoRadius, logoRadius);
    painter.save();
    painter.setClipPath(logoShape, Qt::IntersectClip);
    if (logoImage().isNull())
        painter.fillRect(l.logo, brandGradient(l.logo));
    else
        painter.drawImage(l.logo, logoImage());
    painter.restore();

    auto drawLine = [&painter](const QRectF& rect, const QFont& font, const QBrush& brush,
                               const QString& text) {
        painter.setFont(font);
        painter.setPen(QPen(brush, 0));
        painter.drawText(QPointF(rect.left(), rect.top() + QFontMetricsF(font).ascent()), text);
    };
    drawLine(l.name, l.nameFont, white(0.85), QStringLiteral("Quorlix"));
    drawLine(l.headline, l.headlineFont, white(0.75), l.headlineText);

    const qreal baseline = l.stats[0].valueRect.top() +
                           QFontMetricsF(cardFont({}, int(valuePixels), QFont::Bold)).ascent();
    for (const auto& s : l.stats) {
        painter.setFont(s.valueFont);
        painter.setPen(QPen(QBrush(brandGradient(s.valueRect)), 0));
        painter.drawText(QPointF(s.valueRect.left(), baseline), s.valueText);
        drawLine(s.labelRect, l.labelFont, white(0.6), s.labelText);
    }

    drawLine(l.punchline, l.punchlineFont, Qt::white, l.punchlineText);
    drawLine(l.web, l.webFont, white(0.7), QString::fromLatin1(webAddress));
}

QImage ShareCardPainter::render(qreal scale) const {
    QImage image(int(std::lround(width * scale)), int(std::lround(height * scale)),
                 QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paint(painter, QRectF(0, 0, image.width(), image.height()));
    return image;
}

QImage ShareCardPainter::renderResult(const ScanResult& result) {
    return ShareCardPainter(contentFor(result)).render();
}

} // namespace quorlix
