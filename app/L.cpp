#include "app/L.h"

#include "app/StringCatalogue.h"
#include "engine/core/Log.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace quorlix::L {

namespace {

constexpr Entry kEntries[] = {
#define L_TEXT(group, name, english) {#group "." #name, english},
#define L_FORMAT(group, name, english, parameters, values) {#group "." #name, english},
#define L_VIEW(group, name, english) {#group "." #name, english},
#include "app/L.def"
#undef L_TEXT
#undef L_FORMAT
#undef L_VIEW
};

// Whole numbers only: QML hands numbers over as doubles.
bool isInteger(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        return true;
    case QMetaType::Double: {
        const double d = value.toDouble();
        return std::trunc(d) == d && std::abs(d) < 9.2e18;
    }
    default:
        return false;
    }
}

} // namespace

QString format(const QString& key, const QVariantList& values) {
    const QByteArray utf8 = key.toUtf8();
    const Entry* entry = find(utf8.constData());
    const auto signature =
        entry ? placeholderSignature(QString::fromUtf8(entry->english)) : std::nullopt;
    std::vector<FormatArg> args;
    bool fits = signature && signature->size() == values.size();
    for (qsizetype i = 0; fits && i < values.size(); ++i) {
        const QVariant& value = values[i];
        if (signature->at(i) == QLatin1Char('d') && isInteger(value))
            args.emplace_back(std::int64_t(value.toLongLong()));
        else if (signature->at(i) == QLatin1Char('@') && value.typeId() == QMetaType::QString)
            args.emplace_back(value.toString());
        else
            fits = false;
    }
    if (!fits) {
        log::error(log::Category::ui, "String values do not fit: " + key.toStdString());
        return {};
    }
    return StringCatalogue::shared().format(entry->key, entry->english, args);
}

std::span<const Entry> entries() {
    return kEntries;
}

const Entry* find(const char* key) {
    for (const Entry& entry : kEntries)
        if (std::strcmp(entry.key, key) == 0)
            return &entry;
    return nullptr;
}

QString text(const QString& key) {
    const QByteArray utf8 = key.toUtf8();
    const Entry* entry = find(utf8.constData());
    if (!entry)
        return key;
    return StringCatalogue::shared().text(entry->key, entry->english);
}

#define L_UNPARENTHESISED(...) __VA_ARGS__
#define L_TEXT(group, name, english)                                                               \
    namespace group {                                                                              \
    QString name() {                                                                               \
        return StringCatalogue::shared().text(#group "." #name, english);                          \
    }                                                                                              \
    }
#define L_FORMAT(group, name, english, parameters, values)                                         \
    namespace group {                                                                              \
    QString name parameters {                                                                      \
        return StringCatalogue::shared().format(#group "." #name, english,                         \
                                                {L_UNPARENTHESISED values});                       \
    }                                                                                              \
    }
#define L_VIEW(group, name, english)
#include "app/L.def"
#undef L_TEXT
#undef L_FORMAT
#undef L_VIEW
#undef L_UNPARENTHESISED

} // namespace quorlix::L
