#include "ui/ShareCardPainter.h"

#include "TestEnvironment.h"
#include "ui/ShareCardItem.h"

#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <cmath>

using namespace quorlix;

namespace {

ShareCardPainter::Content content(const QString& a, const QString& b, const QString& c) {
    return {QStringLiteral("I just cleaned up my photo library"),
            {ShareCardPainter::Stat{a, QStringLiteral("DUPLICATES")},
             ShareCardPainter::Stat{b, QStringLiteral("RECLAIMABLE")},
             ShareCardPainter::Stat{c, QStringLiteral("PHOTOS SCANNED")}},
            QStringLiteral("I'm smart, I use Veltrano ;-)")};
}

// Three copies of 2.5 MB in a folder of 1234 photos.
ScanResult sampleResult() {
    ScanResult result;
    result.totalPhotos = 1234;
    std::vector<PhotoRecord> copies(3);
    for (std::size_t i = 0; i < copies.size(); ++i) {
        copies[i].id = "p" + std::to_string(i);
        copies[i].fileSizeBytes = 2'500'000;
    }
    result.groups = {test::groupOf(ScanResult::Kind::exact, "exact:k", copies)};
    return result;
}

// Mean absolute difference per channel, 0 to 255.
double meanDifference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            sum +=
                std::abs(qRed(p[col]) - qRed(q[col])) + std::abs(qGreen(p[col]) - qGreen(q[col])) +
                std::abs(qBlue(p[col]) - qBlue(q[col])) + std::abs(qAlpha(p[col]) - qAlpha(q[col]));
    }
    return sum / (4.0 * x.width() * x.height());
}

// The item painted at `size` on a transparent image, as the scene graph would.
QImage painted(ShareCardItem& item, QSize size) {
    item.setSize(size);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    item.paint(&painter);
    return image;
}

} // namespace

class ShareCardPainterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cardIsTwentyFourHundredByTwelveSixty() {
        const QImage card = ShareCardPainter::renderResult(sampleResult());
        QCOMPARE(card.size(), QSize(2400, 1260));
        // Opaque everywhere: the background covers the whole card.
        QCOMPARE(qAlpha(card.pixel(0, 0)), 255);
        QCOMPARE(qAlpha(card.pixel(2399, 1259)), 255);
        // The glow lights the top-right; the bottom-left keeps the dark background.
        const QColor glow = card.pixelColor(2000, 120);
        const QColor plain = card.pixelColor(40, 1220);
        QVERIFY(glow.blue() > plain.blue() + 40);

        // Installed in the model's writer, the card becomes the PNG it writes.
        const auto file = ShareCard::render(sampleResult(), ShareCardPainter::renderer());
        QVERIFY(file.has_value());
        QImage written;
        QVERIFY(written.load(QFile::decodeName(QByteArray::fromStdString(file->native()))));
        QCOMPARE(written.size(), QSize(2400, 1260));
    }

    void longValuesShrinkToFitAndNeverBelowHalf() {
        const ShareCardPainter card(content("12,345,678", "1,234.5 GB", "98,765,432"));
        const auto& layout = card.layout();
        qreal right = 0;
        for (const auto& stat : layout.stats) {
            const int pixels = stat.valueFont.pixelSize();
            QVERIFY2(pixels < ShareCardPainter::valuePixels, qPrintable(stat.valueText));
            QVERIFY(pixels >= ShareCardPainter::valuePixels / 2);
            // Still the whole value, on one line, inside its box.
            QVERIFY(!stat.valueText.contains(QChar(0x2026)));
            QVERIFY(QFontMetricsF(stat.valueFont).horizontalAdvance(stat.valueText) <=
                    stat.box.width());
            QVERIFY(stat.box.left() >= right);
            right = stat.box.right();
        }
        QVERIFY(right <= ShareCardPainter::width - ShareCardPainter::padding + 0.01);

        // Beyond what half size can hold: half size, then cut, still within the box.
        const ShareCardPainter huge(content(QString(60, QLatin1Char('9')), "1 MB", "2"));
        const auto& stat = huge.layout().stats[0];
        QCOMPARE(stat.valueFont.pixelSize(), int(ShareCardPainter::valuePixels / 2));
        QVERIFY(stat.valueText.endsWith(QChar(0x2026)));
        QVERIFY(QFontMetricsF(stat.valueFont).horizontalAdvance(stat.valueText) <=
                stat.box.width());
        // The short neighbours keep their full size and their whole text.
        for (const int i : {1, 2}) {
            const auto& shortStat = huge.layout().stats[std::size_t(i)];
            QCOMPARE(shortStat.valueFont.pixelSize(), int(ShareCardPainter::valuePixels));
            QVERIFY(!shortStat.valueText.contains(QChar(0x2026)));
        }
    }

    void footerAndHeadlineStayInside() {
        const ShareCardPainter card(content("1", "0 MB", "2"));
        const auto& l = card.layout();
        const QRectF inner(ShareCardPainter::padding, ShareCardPainter::padding,
                           ShareCardPainter::width - 2 * ShareCardPainter::padding,
                           ShareCardPainter::height - 2 * ShareCardPainter::padding);
        for (const QRectF& r : {l.logo, l.name, l.headline, l.punchline, l.web})
            QVERIFY(inner.adjusted(-0.01, -0.01, 0.01, 0.01).contains(r));
        QVERIFY(l.punchline.right() < l.web.left());
        QVERIFY(l.stats[0].labelRect.bottom() < l.punchline.top());
    }

    void previewAndPngShareOneLayout() {
        const ScanResult result = sampleResult();
        ShareCardItem item;
        item.setResult(result);
        QVERIFY(item.hasCard());

        // The item at half the card's size.
        const QImage preview = painted(item, {600, 315});
        const QImage png = ShareCardPainter(ShareCardPainter::contentFor(result)).render(0.5);
        QCOMPARE(png.size(), preview.size());
        QCOMPARE(meanDifference(preview, png), 0.0);

        // The full-size PNG brought down to the preview's size differs only by resampling:
        // nothing moved or wrapped on the way.
        const QImage full = ShareCardPainter::renderResult(result).scaled(
            600, 315, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QVERIFY2(meanDifference(full, png) < 4.0,
                 qPrintable(QString::number(meanDifference(full, png))));

        // The splash's frame is not the card's shape: the card keeps its proportions, centred.
        QImage framed = painted(item, {144, 100});
        QCOMPARE(qAlpha(framed.pixel(72, 5)), 0);
        QCOMPARE(qAlpha(framed.pixel(72, 50)), 255);
        QCOMPARE(qAlpha(framed.pixel(1, 13)), 255); // square corner

        // Rounded corners for the preview's frame, drawn by the item itself.
        item.setRadius(8);
        framed = painted(item, {144, 100});
        QCOMPARE(qAlpha(framed.pixel(0, 13)), 0);
        QCOMPARE(qAlpha(framed.pixel(72, 50)), 255);
    }
};

int runShareCardPainterTest(int argc, char** argv) {
    ShareCardPainterTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ShareCardPainterTest.moc"
