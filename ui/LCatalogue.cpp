#include "ui/LCatalogue.h"

#include "app/L.h"
#include "app/StringCatalogue.h"

#include <QJSEngine>
#include <QMetaType>

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
    const QByteArray utf8 = key.toUtf8();
    const L::Entry* entry = L::find(utf8.constData());
    if (!entry)
        return key;
    const QString english = QString::fromUtf8(entry->english);
    const auto signature = placeholderSignature(english);
    if (!signature || signature->size() != args.size())
        return L::text(key);
    std::vector<FormatArg> values;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (signature->at(i) == u'd')
            values.emplace_back(std::int64_t(args[i].toLongLong()));
        else
            values.emplace_back(args[i].toString());
    }
    // At most four placeholders in the catalogue.
    const auto& c = StringCatalogue::shared();
    switch (values.size()) {
    case 1:
        return c.format(entry->key, entry->english, {values[0]});
    case 2:
        return c.format(entry->key, entry->english, {values[0], values[1]});
    case 3:
        return c.format(entry->key, entry->english, {values[0], values[1], values[2]});
    case 4:
        return c.format(entry->key, entry->english, {values[0], values[1], values[2], values[3]});
    default:
        return L::text(key);
    }
}

} // namespace quorlix
