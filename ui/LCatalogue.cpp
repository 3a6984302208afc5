#include "ui/LCatalogue.h"

#include "app/L.h"
#include "app/StringCatalogue.h"

#include <QJSEngine>

namespace quorlix {

LCatalogue* LCatalogue::create(QQmlEngine*, QJSEngine* jsEngine) {
    return new LCatalogue(jsEngine);
}

LCatalogue::LCatalogue(QJSEngine* engine) {
    parts_ = engine->newObject();
    // A JS closure per formatted entry, so QML calls it like the C++ operation.
    const QJSValue makeOperation = engine->evaluate(QStringLiteral(
        "(function (catalogue, key) { return function () {"
        " return catalogue.format(key, Array.prototype.slice.call(arguments)); }; })"));
    const QJSValue self = engine->newQObject(this);
    QJSEngine::setObjectOwnership(this, QJSEngine::JavaScriptOwnership);
    for (const L::Entry& entry : L::entries()) {
        const QString key = QString::fromLatin1(entry.key);
        const qsizetype dot = key.indexOf(u'.');
        const QString space = key.left(dot);
        const QString name = key.mid(dot + 1);
        if (!parts_.hasOwnProperty(space))
            parts_.setProperty(space, engine->newObject());
        QJSValue target = parts_.property(space);
        const auto signature = placeholderSignature(QString::fromUtf8(entry.english));
        if (signature && !signature->isEmpty())
            target.setProperty(name, makeOperation.call({self, key}));
        else
            target.setProperty(name, L::text(key));
    }
}

QJSValue LCatalogue::part(const char* name) const {
    return parts_.property(QString::fromLatin1(name));
}

QString LCatalogue::format(const QString& key, const QVariantList& args) const {
    return L::format(key, args);
}

} // namespace quorlix
