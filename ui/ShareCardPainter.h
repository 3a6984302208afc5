#pragma once

#include "app/ShareCard.h"
#include "engine/core/ScanResult.h"

#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <array>

class QPainter;

namespace quorlix {

// The share card, drawn by one painter for both the PNG and the on-screen preview, so the two
// cannot drift apart. Everything is laid out once in card points (1200 by 630) and only scaled
// at the end; text is drawn unhinted so that it scales linearly.
class ShareCardPainter {
public:
    static constexpr qreal width = ShareCard::widthPoints;
    static constexpr qreal height = ShareCard::heightPoints;
    static constexpr qreal padding = 64;
    static constexpr qreal valuePixels = 96;
    static constexpr qreal minimumValueScale = 0.5;
    static constexpr const char* webAddress = "veltrano.app";

    struct Stat {
        QString value;
        QString label; // already upper case
    };

    // What the card says, in the interface language.
    struct Content {
        QString headline;
        std::array<Stat, 3> stats; // duplicates, reclaimable, photos scanned
        QString punchline;
    };

    // Where everything goes, in card points.
    struct StatLayout {
        QRectF box;        // the column's share of the row
        QRectF valueRect;  // the value's line
        QFont valueFont;   // shrunk when the value is too wide for its box
        QString valueText; // elided only when even half size does not fit
        QRectF labelRect;
        QString labelText;
    };
    struct Layout {
        QRectF glow;
        QRectF logo;
        QRectF name;
        QFont nameFont;
        QRectF headline;
        QFont headlineFont;
        QString headlineText;
        std::array<StatLayout, 3> stats;
        QFont labelFont;
        QRectF punchline;
        QFont punchlineFont;
        QString punchlineText;
        QRectF web;
        QFont webFont;
    };

    static Content contentFor(const ScanResult& result);

    explicit ShareCardPainter(Content content);

    const Layout& layout() const { return layout_; }

    // Draws the card into `target` (any size), scaled uniformly and centred.
    void paint(QPainter& painter, const QRectF& target) const;
    // The card at `scale` pixels per point; null when memory for it cannot be had.
    QImage render(qreal scale = ShareCard::scale) const;

    // The renderer the model calls when it writes the PNG.
    static QImage renderResult(const ScanResult& result);
    static ShareCardRenderer renderer() { return &ShareCardPainter::renderResult; }

    // "Fraunces" when the font was registered with the application, else the default family.
    static QString headlineFamily();

private:
    void drawCard(QPainter& painter) const;

    Content content_;
    Layout layout_;
};

} // namespace quorlix
