#pragma once

#include <QJSValue>
#include <QObject>
#include <QVariantList>
#include <QtQml/qqml.h>

class QJSEngine;
class QQmlEngine;

namespace quorlix {

// The string catalogue as the QML singleton `L`: `L.empty.title` reads a text, entries with
// placeholders are functions (`L.scan.counter(current, total)`). Texts are resolved when the
// singleton is made; the language only changes at the next launch.
class LCatalogue : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(L)
    QML_SINGLETON
    Q_PROPERTY(QJSValue app READ app CONSTANT)
    Q_PROPERTY(QJSValue empty READ empty CONSTANT)
    Q_PROPERTY(QJSValue scan READ scan CONSTANT)
    Q_PROPERTY(QJSValue results READ results CONSTANT)
    Q_PROPERTY(QJSValue move READ move CONSTANT)
    Q_PROPERTY(QJSValue teaser READ teaser CONSTANT)
    Q_PROPERTY(QJSValue splash READ splash CONSTANT)
    Q_PROPERTY(QJSValue share READ share CONSTANT)
    Q_PROPERTY(QJSValue topbar READ topbar CONSTANT)
    Q_PROPERTY(QJSValue req READ req CONSTANT)
    Q_PROPERTY(QJSValue error READ error CONSTANT)
    Q_PROPERTY(QJSValue picker READ picker CONSTANT)
    Q_PROPERTY(QJSValue window READ window CONSTANT)
    Q_PROPERTY(QJSValue prefs READ prefs CONSTANT)

public:
    static LCatalogue* create(QQmlEngine* qmlEngine, QJSEngine* jsEngine);

    QJSValue app() const { return part("app"); }
    QJSValue empty() const { return part("empty"); }
    QJSValue scan() const { return part("scan"); }
    QJSValue results() const { return part("results"); }
    QJSValue move() const { return part("move"); }
    QJSValue teaser() const { return part("teaser"); }
    QJSValue splash() const { return part("splash"); }
    QJSValue share() const { return part("share"); }
    QJSValue topbar() const { return part("topbar"); }
    QJSValue req() const { return part("req"); }
    QJSValue error() const { return part("error"); }
    QJSValue picker() const { return part("picker"); }
    QJSValue window() const { return part("window"); }
    QJSValue prefs() const { return part("prefs"); }

    // Formats the entry `key` with `args` in order (numbers for "%d", texts for "%@").
    Q_INVOKABLE QString format(const QString& key, const QVariantList& args) const;

private:
    explicit LCatalogue(QJSEngine* engine);
    QJSValue part(const char* name) const;

    QJSValue parts_;
};

} // namespace quorlix
