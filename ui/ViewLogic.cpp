#include "ui/ViewLogic.h"

#include "app/ByteCountFormat.h"
#include "app/L.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorlix {

double ViewLogic::fraction(qint64 current, qint64 total) {
    return total == 0 ? 0.0 : double(current) / double(total);
}

double ViewLogic::barFillWidth(double trackWidth, double fraction) {
    return std::max(minimumBarFill, trackWidth * fraction);
}

QString ViewLogic::windowTitle(const QString& appName, const QString& folderName) {
    if (folderName.isEmpty())
        return appName;
    return appName + QStringLiteral(" \u2014 ") + folderName;
}

QString ViewLogic::displayPath(const QUrl& folder) {
    if (folder.isLocalFile())
        return QDir::toNativeSeparators(folder.toLocalFile());
    return folder.toDisplayString(QUrl::PreferLocalFile);
}

int ViewLogic::toastLifetimeMs(bool undoable) {
    return undoable ? undoableToastMs : plainToastMs;
}

QString ViewLogic::byteCount(double bytes) {
    return formatByteCount(bytes);
}

QString ViewLogic::moveProgressText(bool undo, qint64 current, qint64 total) {
    return (undo ? L::move::undo() : L::move::confirm()) + QStringLiteral(" · ") +
           L::scan::counter(current, total);
}

QString ViewLogic::unbroken(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1Char('-'), QChar(0x2011)); // NON-BREAKING HYPHEN
    return shown;
}

QColor ViewLogic::hexColor(const QString& text) {
    QString digits = text;
    while (digits.startsWith(u'#'))
        digits.remove(0, 1);
    while (digits.endsWith(u'#'))
        digits.chop(1);
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok, 16);
    // toULongLong accepts a sign, spaces and "0x"; the constructor takes bare digits only.
    const bool bare = std::all_of(digits.begin(), digits.end(), [](QChar c) {
        return c.isDigit() || (c.toLower() >= u'a' && c.toLower() <= u'f');
    });
    if (!ok || !bare || digits.isEmpty())
        return QColor::fromRgbF(0, 0, 0, 1);
    return QColor::fromRgbF(float(((value >> 16) & 0xff) / 255.0),
                            float(((value >> 8) & 0xff) / 255.0), float((value & 0xff) / 255.0),
                            1.0f);
}

// SpringAnimation integrates v += spring·Δ − damping·v, x += v·h once per h = 16 ms (mass 1).
// That is an Euler step of x'' = ω²Δ − 2ζω·x' with ω = 2π / response, so
// spring = ω²·h and damping = 2ζω·h; the animation then settles like the described spring.
QVariantMap ViewLogic::springParameters(double response, double dampingFraction) {
    constexpr double step = 0.016;
    const double omega = 2.0 * std::numbers::pi / std::max(response, 0.01);
    return {{QStringLiteral("spring"), omega * omega * step},
            {QStringLiteral("damping"), 2.0 * dampingFraction * omega * step},
            {QStringLiteral("mass"), 1.0},
            {QStringLiteral("epsilon"), 0.001}};
}

} // namespace quorlix
