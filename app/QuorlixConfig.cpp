#include "app/QuorlixConfig.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QLocale>
#include <QSettings>
#include <QStringList>
#include <cmath>

namespace quorlix {

QString storedText(AppLanguage language) {
    switch (language) {
    case AppLanguage::system:
        return QStringLiteral("system");
    case AppLanguage::it:
        return QStringLiteral("it");
    case AppLanguage::en:
        return QStringLiteral("en");
    case AppLanguage::es:
        return QStringLiteral("es");
    }
    return QStringLiteral("system");
}

std::optional<AppLanguage> appLanguageFromStored(const QString& text) {
    for (const auto language : allAppLanguages)
        if (storedText(language) == text)
            return language;
    return std::nullopt;
}

namespace {

// The default locale follows the system unless it was set for the process; QLocale::C stands
// for "no language at all".
QString systemLanguageCode() {
    const QLocale locale;
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
        return {};
    const QString name = locale.name();
    return name.section(QLatin1Char('_'), 0, 0);
}

} // namespace

QString languageCode(AppLanguage language) {
    if (language == AppLanguage::system) {
        const QString code = systemLanguageCode();
        return code.isEmpty() ? QStringLiteral("en") : code;
    }
    return storedText(language);
}

AppLanguage appLanguageFromSystem() {
    const QString code = systemLanguageCode();
    if (code == QLatin1String("it"))
        return AppLanguage::it;
    if (code == QLatin1String("es"))
        return AppLanguage::es;
    return AppLanguage::en;
}

AppLanguage effective(AppLanguage language) {
    return language == AppLanguage::system ? appLanguageFromSystem() : language;
}

QString storedText(AppTheme theme) {
    switch (theme) {
    case AppTheme::dark:
        return QStringLiteral("dark");
    case AppTheme::light:
        return QStringLiteral("light");
    case AppTheme::system:
        return QStringLiteral("system");
    }
    return QStringLiteral("system");
}

std::optional<AppTheme> appThemeFromStored(const QString& text) {
    for (const auto theme : {AppTheme::dark, AppTheme::light, AppTheme::system})
        if (storedText(theme) == text)
            return theme;
    return std::nullopt;
}

std::optional<ColorScheme> colorScheme(AppTheme theme) {
    switch (theme) {
    case AppTheme::dark:
        return ColorScheme::dark;
    case AppTheme::light:
        return ColorScheme::light;
    case AppTheme::system:
        break;
    }
    return std::nullopt;
}

QByteArray QuorlixConfig::encode() const {
    // Built by hand: QJsonObject would sort the keys, and the record keeps its field order.
    auto quoted = [](const QString& text) {
        return QJsonDocument(QJsonObject{{QStringLiteral("v"), text}})
            .toJson(QJsonDocument::Compact)
            .mid(5)
            .chopped(1);
    };
    QByteArray out = "{\"language\":" + quoted(storedText(language)) +
                     ",\"theme\":" + quoted(storedText(theme)) +
                     ",\"completedScans\":" + QByteArray::number(qint64(completedScans));
    if (lastFolderBookmark)
        out += ",\"lastFolderBookmark\":\"" + lastFolderBookmark->toBase64() + '"';
    out += '}';
    return out;
}

std::optional<QuorlixConfig> QuorlixConfig::decode(const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    QuorlixConfig config;

    // Absent and null both mean "the default".
    auto present = [&](const char* key, QJsonValue& value) {
        value = object.value(QLatin1String(key));
        return !value.isUndefined() && !value.isNull();
    };
    QJsonValue value;
    if (present("language", value)) {
        const auto language =
            value.isString() ? appLanguageFromStored(value.toString()) : std::nullopt;
        if (!language)
            return std::nullopt;
        config.language = *language;
    }
    if (present("theme", value)) {
        const auto theme = value.isString() ? appThemeFromStored(value.toString()) : std::nullopt;
        if (!theme)
            return std::nullopt;
        config.theme = *theme;
    }
    if (present("completedScans", value)) {
        if (!value.isDouble())
            return std::nullopt;
        // Qt keeps integers that fit in 64 bits exactly; anything else is not an integer.
        const double asDouble = value.toDouble();
        const qint64 asInteger = value.toInteger(0);
        if (std::trunc(asDouble) != asDouble || double(asInteger) != asDouble)
            return std::nullopt;
        config.completedScans = asInteger;
    }
    if (present("lastFolderBookmark", value)) {
        if (!value.isString())
            return std::nullopt;
        const auto decoded = QByteArray::fromBase64Encoding(
            value.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return std::nullopt;
        config.lastFolderBookmark = decoded.decoded;
    }
    return config;
}

std::unique_ptr<QSettings> quorlixSettings() {
    return std::make_unique<QSettings>(QStringLiteral("Quorlix"), QStringLiteral("Quorlix"));
}

QuorlixConfig QuorlixConfig::load() {
    const QVariant stored = quorlixSettings()->value(QLatin1String(storeKey));
    // The record is a byte blob; text or a list under the key is not one.
    if (stored.typeId() != QMetaType::QByteArray)
        return {};
    return decode(stored.toByteArray()).value_or(QuorlixConfig{});
}

void QuorlixConfig::save() const {
    const QByteArray blob = encode();
    if (blob.isEmpty())
        return;
    auto settings = quorlixSettings();
    settings->setValue(QLatin1String(storeKey), blob);
    settings->sync();
}

namespace {

// An override stored under the old key moves to the current one, unless that holds one already.
void moveLegacyLanguageOverride(QSettings& settings) {
    const QString legacy = QLatin1String(legacyLanguageOverrideKey);
    if (!settings.contains(legacy))
        return;
    const QStringList list = settings.value(legacy).toStringList();
    if (!settings.contains(QLatin1String(languageOverrideKey)) && !list.isEmpty() &&
        !list.front().isEmpty())
        settings.setValue(QLatin1String(languageOverrideKey), list.front());
    settings.remove(legacy);
    settings.sync();
}

} // namespace

void applyLanguageOverride(AppLanguage language) {
    auto settings = quorlixSettings();
    settings->remove(QLatin1String(legacyLanguageOverrideKey));
    if (language == AppLanguage::system)
        settings->remove(QLatin1String(languageOverrideKey));
    else
        settings->setValue(QLatin1String(languageOverrideKey), languageCode(language));
    settings->sync();
}

std::optional<QString> languageOverride() {
    auto settings = quorlixSettings();
    moveLegacyLanguageOverride(*settings);
    const QString code = settings->value(QLatin1String(languageOverrideKey)).toString();
    if (code.isEmpty())
        return std::nullopt;
    return code;
}

} // namespace quorlix
