#pragma once

#include <QString>
#include <QVariantList>
#include <cstdint>
#include <span>

// Every user-visible text, by key ("move.doneTrash"), with its English default built in.
// Entries with placeholders take their values in order; each text is resolved when read.
namespace quorlix::L {

struct Entry {
    const char* key;
    const char* english;
};

// All entries, in catalogue order.
std::span<const Entry> entries();
// The entry of `key`, or nothing.
const Entry* find(const char* key);
// The text of any entry by key, unformatted; the key itself when it is unknown.
QString text(const QString& key);
// Any entry by key with its placeholder values (integers for "%d", texts for "%@"), for
// callers that only know the key at run time. Values that do not fit the entry give the
// empty text (and a log line), never a half-formatted one.
QString format(const QString& key, const QVariantList& values);

// One accessor per entry of L.def, in its group's namespace: L::move::doneTrash(3).
#define L_TEXT(group, name, english)                                                               \
    namespace group {                                                                              \
    QString name();                                                                                \
    }
#define L_FORMAT(group, name, english, parameters, values)                                         \
    namespace group {                                                                              \
    QString name parameters;                                                                       \
    }
#define L_VIEW(group, name, english)
#include "app/L.def"
#undef L_TEXT
#undef L_FORMAT
#undef L_VIEW

} // namespace quorlix::L
