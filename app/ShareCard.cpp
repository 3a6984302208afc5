#include "app/ShareCard.h"

#include "app/ByteCountFormat.h"
#include "app/FileUrl.h"
#include "app/L.h"
#include "engine/core/Log.h"
#include "engine/core/QuorlixFeature.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QSaveFile>

namespace quorlix::ShareCard {

std::filesystem::path directory() {
    return pathFromText(QDir::tempPath()) / directoryName;
}

QImage paintStandIn(const ScanResult& result) {
    QImage image(widthPoints * scale, heightPoints * scale, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, heightPoints);
    background.setColorAt(0, QColor(0x15, 0x12, 0x1f));
    background.setColorAt(1, QColor(0x1c, 0x17, 0x33));
    painter.fillRect(QRect(0, 0, widthPoints, heightPoints), background);

    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(44);
    painter.setFont(font);
    painter.drawText(QRect(64, 64, widthPoints - 128, 80), Qt::AlignLeft | Qt::AlignVCenter,
                     L::share::cardHeadline());
    const QString stats[3][2] = {
        {QString::number(result.duplicateCount()), L::share::cardDuplicates()},
        {formatByteCount(result.exactReclaimableBytes()), L::share::cardReclaim()},
        {QString::number(result.totalPhotos), L::share::cardScanned()}};
    for (int i = 0; i < 3; ++i) {
        const QRect column(64 + i * 360, 200, 340, 200);
        font.setPixelSize(72);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(column.adjusted(0, 0, 0, -60), Qt::AlignLeft | Qt::AlignBottom,
                         stats[i][0]);
        font.setPixelSize(16);
        painter.setFont(font);
        painter.drawText(column.adjusted(0, 150, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                         stats[i][1].toUpper());
    }
    font.setPixelSize(28);
    painter.setFont(font);
    painter.drawText(QRect(64, heightPoints - 120, widthPoints - 128, 56), Qt::AlignCenter,
                     L::share::cardPunchline());
    return image;
}

std::optional<std::filesystem::path> render(const ScanResult& result,
                                            const ShareCardRenderer& renderer) {
    const QImage image = renderer ? renderer(result) : paintStandIn(result);
    if (image.isNull())
        return std::nullopt;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG") || png.isEmpty())
        return std::nullopt;

    const auto folder = directory();
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    const auto file = folder / fileName;
    QSaveFile out(textFromPath(file));
    // Written whole or not at all, so a card is never half replaced.
    if (!out.open(QIODevice::WriteOnly) || out.write(png) != png.size() || !out.commit()) {
        log::error(log::Category::share,
                   "Share card write failed: " + out.errorString().toStdString());
        return std::nullopt;
    }
    log::info(log::Category::share,
              "Share card rendered: " + std::to_string(png.size() / 1024) + " KB");
    return file;
}

QString caption(const ScanResult& result) {
    return L::share::text(result.duplicateCount(), formatByteCount(result.exactReclaimableBytes()),
                          QString::fromUtf8(QuorlixFeature::shareHashtag.data(),
                                            qsizetype(QuorlixFeature::shareHashtag.size())),
                          QString::fromUtf8(QuorlixFeature::siteURL.data(),
                                            qsizetype(QuorlixFeature::siteURL.size())));
}

} // namespace quorlix::ShareCard
