#include "TestEnvironment.h"
#include "app/ByteCountFormat.h"
#include "app/L.h"
#include "app/QuorlixConfig.h"
#include "app/StringCatalogue.h"

#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTest>
#include <QXmlStreamReader>
#include <cstring>

using namespace quorlix;

namespace {

// Message ids of a .ts file.
QSet<QString> tsIds(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QSet<QString> ids;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"message")
            ids.insert(xml.attributes().value("id").toString());
    return ids;
}

} // namespace

class StringsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { StringCatalogue::shared().load("en"); }

    void catalogueHasEveryEntryOnce() {
        const auto entries = L::entries();
        // 92, "req.needsMac", the share picker's, the move checks', the window's (with the
        // keeper's reasons and the damaged file's warning), the preferences' cache line, and the
        // results summary in singular and plural parts instead of one text
        QCOMPARE(entries.size(), std::size_t(172));
        const QStringList order = {"app",    "empty",  "scan",  "results", "move",
                                   "teaser", "splash", "share", "topbar",  "req",
                                   "error",  "picker", "check", "window",  "prefs"};
        QSet<QString> keys;
        int area = 0;
        for (const auto& entry : entries) {
            const QString key = QString::fromLatin1(entry.key);
            QVERIFY2(!keys.contains(key), entry.key);
            keys.insert(key);
            const QString prefix = key.section('.', 0, 0);
            while (area < order.size() && order[area] != prefix)
                ++area;
            QVERIFY2(area < order.size(), entry.key); // areas in catalogue order
            QVERIFY(std::strlen(entry.english) > 0);
            QVERIFY2(placeholderSignature(QString::fromUtf8(entry.english)), entry.key);
            QCOMPARE(L::find(entry.key), &entry);
        }
        QCOMPARE(L::text("req.needsMac"), QString("Veltrano runs on a Mac with Apple silicon."));
        QCOMPARE(L::text("no.such"), QString("no.such"));
    }

    void formatChecksTheValuesAndInsertsTextAsItIs() {
        QCOMPARE(L::move::exactLine(-1234567, "4 MB"),
                 QString::fromUtf8("-1234567 exact copies (4 MB) \u2014 identical bytes, nothing "
                                   "is lost."));
        // A text argument is inserted as it is, never read as a format.
        QCOMPARE(L::splash::body(2, "%d %@"),
                 QString("2 duplicates found, %d %@ you can get back."));
        QCOMPARE(L::format("scan.counter", {3, qint64(10)}), QString("3 of 10"));
        QCOMPARE(L::format("move.exactLine", {1, QString("3 MB")}), L::move::exactLine(1, "3 MB"));
        QCOMPARE(L::format("app.name", {}), QString("Quorlix"));
        QCOMPARE(L::format("scan.counter", {3.0, 4}), QString("3 of 4"));
        QCOMPARE(L::format("scan.counter", {3.5, 4}), QString());
        QCOMPARE(L::format("scan.counter", {3}), QString());
        QCOMPARE(L::format("scan.counter", {QString("3"), 4}), QString());
        QCOMPARE(L::format("no.such", {}), QString());
        QVERIFY(!applyFormat("%d of %d", {std::int64_t(1)}));
        QVERIFY(!applyFormat("%d", {QString("x")}));
        QCOMPARE(applyFormat("100%% %@", {QString("x")}), std::optional<QString>("100% x"));
        QVERIFY(!placeholderSignature("50%"));
        QVERIFY(!placeholderSignature("%s"));
        QCOMPARE(placeholderSignature("%d/%@%%"), std::optional<QString>("d@"));
    }

    void bothTranslationsCoverEveryEntryWithTheSamePlaceholders_data() {
        QTest::addColumn<QString>("code");
        QTest::newRow("it") << "it";
        QTest::newRow("es") << "es";
    }
    void bothTranslationsCoverEveryEntryWithTheSamePlaceholders() {
        QFETCH(QString, code);
        QVERIFY(StringCatalogue::shared().load(code));
        QCOMPARE(StringCatalogue::shared().languageCode(), code);
        QSet<QString> keys;
        for (const auto& entry : L::entries()) {
            keys.insert(QString::fromLatin1(entry.key));
            const auto translated = StringCatalogue::shared().translation(entry.key);
            QVERIFY2(translated, entry.key);
            // Used as it is: no fallback to English for any entry.
            QCOMPARE(
                StringCatalogue::shared().templateFor(entry.key, QString::fromUtf8(entry.english)),
                *translated);
        }
        QCOMPARE(tsIds(QString(QUORLIX_TS_DIR "/quorlix_%1.ts").arg(code)), keys);
    }

    // Quorlix runs on Linux: only the texts about Veltrano, which needs a Mac, may name one.
    void ownTextsSayNothingFalseAboutLinux() {
        const QRegularExpression macOnly(
            QStringLiteral("\\bMac\\b|Finder|Neural Engine|App Store"));
        for (const QString code : {"en", "it", "es"}) {
            // English is the built-in text: there is no file to load for it.
            QCOMPARE(StringCatalogue::shared().load(code), code != "en");
            for (const auto& entry : L::entries()) {
                const QString key = QString::fromLatin1(entry.key);
                if (key.startsWith("teaser.") || key.startsWith("req.") ||
                    key == "splash.upsellBody")
                    continue;
                const QString text = L::text(key);
                QVERIFY2(!macOnly.match(text).hasMatch(), qPrintable(code + ": " + text));
            }
        }
        StringCatalogue::shared().load("it");
        QCOMPARE(L::results::revealInFileManager(), QString("Mostra nel file manager"));
    }

    void translatedTextsAreUsedAndAMissingLanguageIsEnglish() {
        StringCatalogue::shared().load("it");
        QCOMPARE(L::scan::counter(1, 4), QString("1 di 4"));
        StringCatalogue::shared().load("de");
        QCOMPARE(StringCatalogue::shared().languageCode(), QString("en"));
        QCOMPARE(L::move::undone(3), QString("3 photos put back"));
    }

    void faultyTranslationsFallBackToEnglishPerEntry() {
        test::LogCapture logs;
        QVERIFY(StringCatalogue::shared().loadFile(QUORLIX_FAULTY_QM, "it"));
        QCOMPARE(L::empty::title(), QString("Trascina qui una cartella da analizzare"));
        QCOMPARE(L::move::failed(4), QString("4 could not be moved"));           // missing
        QCOMPARE(L::move::doneTrash(1), QString("1 photos moved to the Trash")); // %@ for %d
        QCOMPARE(L::scan::counter(1, 2), QString("1 of 2"));                     // one too few
        QCOMPARE(L::move::undone(5), QString("5 photos put back"));              // lone %
        QCOMPARE(L::app::name(), QString("Quorlix"));                            // %d in plain text
        QCOMPARE(L::results::score(87), QString("87%"));                         // %% is fine
        QVERIFY(logs.contains("Translation placeholders differ from the default: scan.counter"));
    }

    void launchLanguageComesFromTheOverride() {
        applyLanguageOverride(AppLanguage::es);
        StringCatalogue::shared().loadForLaunch();
        QCOMPARE(StringCatalogue::shared().languageCode(), QString("es"));
        QCOMPARE(L::error::ok(), QString("Aceptar"));
        applyLanguageOverride(AppLanguage::system);
        QLocale::setDefault(QLocale(QLocale::German));
        StringCatalogue::shared().loadForLaunch();
        QCOMPARE(StringCatalogue::shared().languageCode(), QString("en"));
        QLocale::setDefault(QLocale::system());
    }

    void byteCountsInDecimalMegabytesOrGigabytes() {
        const struct {
            qint64 bytes;
            const char *english, *italian;
        } cases[] = {{0, "0 MB", "0 MB"},
                     {999, "0 MB", "0 MB"},
                     {500'000, "0.5 MB", "0,5 MB"},
                     {12'000'000, "12 MB", "12 MB"},
                     {12'345'678, "12.3 MB", "12,3 MB"},
                     {999'960'000, "1 GB", "1 GB"}, // rounds up to a gigabyte
                     {1'250'000'000, "1.25 GB", "1,25 GB"},
                     {2'345'670'000'000, "2,345.67 GB", "2.345,67 GB"}};
        for (const auto& c : cases) {
            QCOMPARE(formatByteCount(c.bytes, QLocale(QLocale::English)), QString(c.english));
            QCOMPARE(formatByteCount(c.bytes, QLocale(QLocale::Italian)), QString(c.italian));
        }
    }
};

QUORLIX_TEST_MAIN(StringsTest)
#include "StringsTest.moc"
