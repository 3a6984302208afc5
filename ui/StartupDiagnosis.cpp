#include "ui/StartupDiagnosis.h"

#include <QRegularExpression>

namespace quorlix {

QString debianPackageForModule(const QString& module) {
    return QStringLiteral("qml6-module-") + module.toLower().replace(u'.', u'-');
}

QString startupFailureMessage(const QList<QQmlError>& errors) {
    static const QRegularExpression missing(
        QStringLiteral(R"(module \"([^\"]+)\" is not installed)"));
    for (const QQmlError& error : errors) {
        const auto match = missing.match(error.description());
        if (match.hasMatch()) {
            const QString module = match.captured(1);
            return QStringLiteral("Quorlix cannot start: the QML module %1 is not installed "
                                  "(Debian package %2; scripts/setup.sh installs it).")
                .arg(module, debianPackageForModule(module));
        }
    }
    return QStringLiteral("Quorlix cannot start: its window could not be loaded (see the "
                          "messages above).");
}

} // namespace quorlix
