#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqml.h>
#include <optional>

class QJSEngine;
class QQmlEngine;

namespace quorlix {

// Whether this machine can run Veltrano: a Mac with Apple silicon on macOS 26.4 or later.
// Exposed to QML as the singleton `VeltranoRequirements`; the facts are read once per process.
class VeltranoRequirements : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(bool compatible READ compatible CONSTANT)
    Q_PROPERTY(QString reason READ reason CONSTANT)

public:
    struct Version {
        int major = 0;
        int minor = 0;
        int patch = 0;
    };

    // What the machine says about itself.
    struct Facts {
        bool isMac = false;
        // The kernel's "hw.optional.arm64"; nothing when the query failed.
        std::optional<int> arm64;
        Version system;
    };

    struct Verdict {
        bool compatible = false;
        QString reason; // empty when compatible
    };

    static constexpr Version minimumSystem{26, 4, 0};

    static VeltranoRequirements* create(QQmlEngine*, QJSEngine*) {
        return new VeltranoRequirements;
    }

    // The decision alone, for any machine: an Intel Mac is named as such even when its system is
    // also too old; an Apple-silicon Mac on an old system is told its version.
    static Verdict assess(const Facts& facts);
    // "macOS 15.6": major and minor, no patch.
    static QString systemName(const Version& version);
    // This machine, queried once per process.
    static const Facts& machine();
    static const Verdict& current();

    bool compatible() const { return current().compatible; }
    QString reason() const { return current().reason; }
};

} // namespace quorlix
