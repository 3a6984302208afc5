#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace quorlix {

// Interface language, stored by its text value.
enum class AppLanguage { system, it, en, es };

inline constexpr std::array<AppLanguage, 4> allAppLanguages = {AppLanguage::system, AppLanguage::it,
                                                               AppLanguage::en, AppLanguage::es};

QString storedText(AppLanguage language);
std::optional<AppLanguage> appLanguageFromStored(const QString& text);
// The system locale's language code for `system` ("en" when it has none), else the case's own.
QString languageCode(AppLanguage language);
// "it" and "es" from the system locale, anything else `en`; never `system`.
AppLanguage appLanguageFromSystem();
AppLanguage effective(AppLanguage language);

// Window appearance, stored by its text value.
enum class AppTheme { dark, light, system };

enum class ColorScheme { dark, light };

QString storedText(AppTheme theme);
std::optional<AppTheme> appThemeFromStored(const QString& text);
// The scheme the window is forced to; nothing lets it follow the system.
std::optional<ColorScheme> colorScheme(AppTheme theme);

// The one settings record, kept as JSON under "quorlix_config_v1".
struct QuorlixConfig {
    AppLanguage language = AppLanguage::system;
    AppTheme theme = AppTheme::system;
    std::int64_t completedScans = 0;
    std::optional<QByteArray> lastFolderBookmark;

    friend bool operator==(const QuorlixConfig&, const QuorlixConfig&) = default;

    static constexpr const char* storeKey = "quorlix_config_v1";

    // The stored record, or the default one when there is none or it does not decode.
    static QuorlixConfig load();
    void save() const;

    // Compact JSON, fields in declaration order; the bookmark key only when present.
    QByteArray encode() const;
    // Strict: a present key of the wrong kind makes the whole document undecodable.
    static std::optional<QuorlixConfig> decode(const QByteArray& json);
};

// The per-user store of organisation and application "Quorlix".
std::unique_ptr<QSettings> quorlixSettings();

// The interface language chosen in the preferences, as a language code ("it").
inline constexpr const char* languageOverrideKey = "interfaceLanguage";
// Where earlier versions kept it, as a list; moved to languageOverrideKey when first read.
inline constexpr const char* legacyLanguageOverrideKey = "AppleLanguages";

// Run once at launch: `system` removes the override, any other language stores its code.
void applyLanguageOverride(AppLanguage language);
// The language code the override asks for, or nothing when none is stored.
std::optional<QString> languageOverride();

} // namespace quorlix
