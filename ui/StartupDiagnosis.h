#pragma once

#include <QList>
#include <QQmlError>
#include <QString>

namespace quorlix {

// The Debian package that ships a QML module: "QtQuick.Dialogs" → "qml6-module-qtquick-dialogs".
QString debianPackageForModule(const QString& module);

// One sentence for a window that could not be loaded, naming the missing QML module and its
// package when the errors say one is not installed.
QString startupFailureMessage(const QList<QQmlError>& errors);

} // namespace quorlix
