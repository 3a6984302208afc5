#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <variant>

class QTranslator;

namespace quorlix {

// A value for a "%d" (64-bit integer) or "%@" (text) placeholder.
using FormatArg = std::variant<std::int64_t, QString>;

// The placeholders of a printf-style template in order, 'd' or '@' each ("%%" is a literal
// percent sign); nothing when the template holds any other conversion or a lone "%".
std::optional<QString> placeholderSignature(const QString& format);

// Fills the placeholders in order; "%d" in plain decimal digits, without grouping. Nothing when
// the arguments do not match the template's placeholders.
std::optional<QString> applyFormat(const QString& format, std::span<const FormatArg> args);
inline std::optional<QString> applyFormat(const QString& format,
                                          std::initializer_list<FormatArg> args) {
    return applyFormat(format, std::span<const FormatArg>(args.begin(), args.size()));
}

// The translated string tables, looked up by entry key; one per process.
class StringCatalogue {
public:
    static StringCatalogue& shared();

    StringCatalogue();
    ~StringCatalogue();

    // Chooses the table at launch: the stored language override, else the system language.
    void loadForLaunch();
    // ":/i18n/quorlix_<code>.qm"; English (no table) when there is none. Returns whether a table
    // was loaded.
    bool load(const QString& languageCode);
    // A compiled table from anywhere, for tests.
    bool loadFile(const QString& path, const QString& languageCode);

    QString languageCode() const { return languageCode_; }
    // The locale of the chosen language, for numbers shown to the user.
    QLocale locale() const { return QLocale(languageCode_); }

    // The translation of `key`, or nothing when the table has none.
    std::optional<QString> translation(const char* key) const;
    // The template used for `key`: the translation when it has the same placeholders as the
    // English default, else the default.
    QString templateFor(const char* key, const QString& english) const;

    QString text(const char* key, const char* english) const;
    QString format(const char* key, const char* english, std::span<const FormatArg> args) const;
    QString format(const char* key, const char* english,
                   std::initializer_list<FormatArg> args) const {
        return format(key, english, std::span<const FormatArg>(args.begin(), args.size()));
    }

private:
    std::unique_ptr<QTranslator> translator_;
    mutable std::set<std::string> reported_; // faulty entries already logged
    QString languageCode_ = QStringLiteral("en");
};

} // namespace quorlix
