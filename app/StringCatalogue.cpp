#include "app/StringCatalogue.h"

#include "app/QuorlixConfig.h"
#include "engine/core/Log.h"

#include <QFile>
#include <QTranslator>

namespace quorlix {

std::optional<QString> placeholderSignature(const QString& format) {
    QString signature;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] != QLatin1Char('%'))
            continue;
        if (i + 1 >= format.size())
            return std::nullopt;
        const QChar next = format[++i];
        if (next == QLatin1Char('d') || next == QLatin1Char('@'))
            signature += next;
        else if (next != QLatin1Char('%'))
            return std::nullopt;
    }
    return signature;
}

std::optional<QString> applyFormat(const QString& format, std::span<const FormatArg> args) {
    const auto signature = placeholderSignature(format);
    if (!signature || signature->size() != qsizetype(args.size()))
        return std::nullopt;
    QString out;
    out.reserve(format.size() + 16);
    auto arg = args.begin();
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] != QLatin1Char('%')) {
            out += format[i];
            continue;
        }
        const QChar kind = format[++i];
        if (kind == QLatin1Char('%')) {
            out += kind;
        } else if (kind == QLatin1Char('d')) {
            const auto* number = std::get_if<std::int64_t>(&*arg++);
            if (!number)
                return std::nullopt;
            out += QString::number(qint64(*number));
        } else {
            const auto* text = std::get_if<QString>(&*arg++);
            if (!text)
                return std::nullopt;
            out += *text;
        }
    }
    return out;
}

StringCatalogue& StringCatalogue::shared() {
    static StringCatalogue catalogue;
    return catalogue;
}

StringCatalogue::StringCatalogue() = default;
StringCatalogue::~StringCatalogue() = default;

void StringCatalogue::loadForLaunch() {
    const auto override = languageOverride();
    load(override ? *override : quorlix::languageCode(AppLanguage::system));
}

bool StringCatalogue::load(const QString& code) {
    const QString path = QStringLiteral(":/i18n/quorlix_%1.qm").arg(code);
    if (code != QLatin1String("en") && QFile::exists(path))
        return loadFile(path, code);
    translator_.reset();
    languageCode_ =
        code == QLatin1String("it") || code == QLatin1String("es") ? code : QStringLiteral("en");
    return false;
}

bool StringCatalogue::loadFile(const QString& path, const QString& code) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(path)) {
        log::error(log::Category::app, "String table unreadable: " + path.toStdString());
        translator_.reset();
        languageCode_ = QStringLiteral("en");
        return false;
    }
    translator_ = std::move(translator);
    languageCode_ = code;
    reported_.clear();
    return true;
}

std::optional<QString> StringCatalogue::translation(const char* key) const {
    if (!translator_)
        return std::nullopt;
    // Tables are compiled id-based: the key is the message and there is no context.
    QString found = translator_->translate(nullptr, key);
    if (found.isEmpty())
        return std::nullopt;
    return found;
}

QString StringCatalogue::templateFor(const char* key, const QString& english) const {
    const auto translated = translation(key);
    if (!translated)
        return english;
    const auto expected = placeholderSignature(english);
    // Entries without placeholders are shown verbatim, so only the conversions count there.
    const bool same = expected && expected->isEmpty()
                          ? !translated->contains(QLatin1String("%d")) &&
                                !translated->contains(QLatin1String("%@"))
                          : placeholderSignature(*translated) == expected;
    if (!same) {
        if (reported_.insert(key).second)
            log::error(log::Category::app,
                       std::string("Translation placeholders differ from the default: ") + key);
        return english;
    }
    return *translated;
}

QString StringCatalogue::text(const char* key, const char* english) const {
    return templateFor(key, QString::fromUtf8(english));
}

QString StringCatalogue::format(const char* key, const char* english,
                                std::span<const FormatArg> args) const {
    const QString fallback = QString::fromUtf8(english);
    if (auto done = applyFormat(templateFor(key, fallback), args))
        return *done;
    // Only reachable when the caller's arguments do not fit the default itself.
    return applyFormat(fallback, args).value_or(fallback);
}

} // namespace quorlix
