#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariantMap>
#include <QtQml/qqml.h>

class QJSEngine;
class QQmlEngine;

namespace quorlix {

// The few decisions the views make, kept out of QML so that tests reach them.
class ViewLogic : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    static constexpr double minimumBarFill = 8.0;
    static constexpr int undoableToastMs = 8000;
    static constexpr int plainToastMs = 2500;

    static ViewLogic* create(QQmlEngine*, QJSEngine*) { return new ViewLogic; }

    // current / total, 0 without a total; deliberately not clamped.
    Q_INVOKABLE static double fraction(qint64 current, qint64 total);
    Q_INVOKABLE static double barFillWidth(double trackWidth, double fraction);

    // "Quorlix", or "Quorlix — Holiday" once a folder is chosen.
    Q_INVOKABLE static QString windowTitle(const QString& appName, const QString& folderName);
    // The folder's full path, for the chip's tooltip.
    Q_INVOKABLE static QString displayPath(const QUrl& folder);

    Q_INVOKABLE static int toastLifetimeMs(bool undoable);

    // A byte amount in decimal megabytes or gigabytes, in the interface language.
    Q_INVOKABLE static QString byteCount(double bytes);
    // The line under a long move or undo: "Move · 120 of 3000" ("Undo · …" when putting back),
    // made of catalogue texts so that it follows the interface language.
    Q_INVOKABLE static QString moveProgressText(bool undo, qint64 current, qint64 total);

    // `text` with its hyphens made non-breaking, so that an identifier ("GPL-3.0-or-later")
    // never wraps inside.
    Q_INVOKABLE static QString unbroken(const QString& text);

    // "#7b6cf6" or "7b6cf6" to an opaque sRGB colour; black when the text does not parse.
    Q_INVOKABLE static QColor hexColor(const QString& text);

    // SpringAnimation parameters for a spring of `response` seconds and `dampingFraction`
    // (see the definition for the mapping): {spring, damping, mass, epsilon}.
    Q_INVOKABLE static QVariantMap springParameters(double response, double dampingFraction);
};

} // namespace quorlix
