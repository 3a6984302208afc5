#include "TestEnvironment.h"
#include "app/QuorlixConfig.h"

#include <QGuiApplication>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <limits>

using namespace quorlix;

class ConfigTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { quorlixSettings()->clear(); }

    void settingsLiveInTheIsolatedHome() {
        QVERIFY(
            quorlixSettings()->fileName().startsWith(QString::fromLocal8Bit(test::isolatedHome())));
    }

    void decodesPartialDocuments() {
        QCOMPARE(QuorlixConfig::decode("{}"), QuorlixConfig{});
        const auto five = QuorlixConfig::decode(R"({"completedScans":5})");
        QVERIFY(five);
        QCOMPARE(five->completedScans, 5);
        QCOMPARE(five->language, AppLanguage::system);
        // null stands for the default; unknown keys are ignored.
        const auto mixed = QuorlixConfig::decode(
            R"({"language":null,"theme":"dark","future":[1,2],"completedScans":5.0})");
        QVERIFY(mixed);
        QCOMPARE(mixed->theme, AppTheme::dark);
        QCOMPARE(mixed->language, AppLanguage::system);
        QCOMPARE(mixed->completedScans, 5);
    }

    void wrongKindMakesTheWholeDocumentUndecodable_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("unknown language") << QByteArray(R"({"language":"de","completedScans":7})");
        QTest::newRow("number as language") << QByteArray(R"({"language":1})");
        QTest::newRow("unknown theme") << QByteArray(R"({"theme":"sepia"})");
        QTest::newRow("text as count") << QByteArray(R"({"completedScans":"5"})");
        QTest::newRow("fraction as count") << QByteArray(R"({"completedScans":5.5})");
        QTest::newRow("count beyond 64 bits") << QByteArray(R"({"completedScans":1e30})");
        QTest::newRow("bad base64") << QByteArray(R"({"lastFolderBookmark":"@@@"})");
        QTest::newRow("number as bookmark") << QByteArray(R"({"lastFolderBookmark":3})");
        QTest::newRow("not an object") << QByteArray("[1]");
        QTest::newRow("not json") << QByteArray("{language");
    }
    void wrongKindMakesTheWholeDocumentUndecodable() {
        QFETCH(QByteArray, json);
        QVERIFY(!QuorlixConfig::decode(json));
        quorlixSettings()->setValue(QuorlixConfig::storeKey, json);
        QCOMPARE(QuorlixConfig::load(), QuorlixConfig{});
    }

    void onlyAByteBlobIsARecord() {
        quorlixSettings()->setValue(QuorlixConfig::storeKey, QString(R"({"completedScans":5})"));
        QCOMPARE(QuorlixConfig::load(), QuorlixConfig{});
        quorlixSettings()->setValue(QuorlixConfig::storeKey, QByteArray(R"({"completedScans":5})"));
        QCOMPARE(QuorlixConfig::load().completedScans, 5);
    }

    void encodesFieldsInOrderWithoutAbsentBookmark() {
        QuorlixConfig config;
        config.language = AppLanguage::it;
        config.completedScans = 3;
        QCOMPARE(config.encode(),
                 QByteArray(R"({"language":"it","theme":"system","completedScans":3})"));
        config.lastFolderBookmark = QByteArray("\x00\xff/+", 4);
        QCOMPARE(config.encode(),
                 QByteArray(R"({"language":"it","theme":"system",)"
                            R"("completedScans":3,"lastFolderBookmark":"AP8vKw=="})"));
    }

    void bookmarkSurvivesSaveAndLoadByteForByte() {
        QuorlixConfig config;
        config.theme = AppTheme::light;
        config.completedScans = std::numeric_limits<std::int64_t>::max();
        QByteArray blob;
        for (int i = 0; i < 256; ++i)
            blob.append(char(i));
        config.lastFolderBookmark = blob;
        config.save();
        // Stored as a byte blob, not as text.
        QCOMPARE(quorlixSettings()->value(QuorlixConfig::storeKey).typeId(), QMetaType::QByteArray);
        QCOMPARE(QuorlixConfig::load(), config);

        QuorlixConfig noBookmark;
        noBookmark.theme = config.theme;
        noBookmark.completedScans = config.completedScans;
        QVERIFY(!(noBookmark == config));
        noBookmark.lastFolderBookmark = blob;
        QCOMPARE(noBookmark, config);
    }

    void languageOverrideUnderTheOldKeyIsReadOnceThenMoved() {
        quorlixSettings()->setValue(legacyLanguageOverrideKey, QStringList{"es"});
        QCOMPARE(languageOverride(), std::optional<QString>("es"));
        QVERIFY(!quorlixSettings()->contains(legacyLanguageOverrideKey));
        QCOMPARE(quorlixSettings()->value(languageOverrideKey).toString(), QString("es"));
        QCOMPARE(languageOverride(), std::optional<QString>("es"));

        // A choice made since wins over a stale old entry, which goes all the same.
        applyLanguageOverride(AppLanguage::it);
        quorlixSettings()->setValue(legacyLanguageOverrideKey, QStringList{"es"});
        QCOMPARE(languageOverride(), std::optional<QString>("it"));
        QVERIFY(!quorlixSettings()->contains(legacyLanguageOverrideKey));
        applyLanguageOverride(AppLanguage::system);
        QVERIFY(!languageOverride());
        QVERIFY(!quorlixSettings()->contains(languageOverrideKey));
    }

    void languageCodesFromTheLocale() {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(languageCode(AppLanguage::system), QString("de"));
        QCOMPARE(effective(AppLanguage::system), AppLanguage::en);
        QCOMPARE(languageCode(effective(AppLanguage::system)), QString("en"));
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        QCOMPARE(effective(AppLanguage::system), AppLanguage::it);
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Mexico));
        QCOMPARE(effective(AppLanguage::system), AppLanguage::es);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(languageCode(AppLanguage::system), QString("en"));
        QCOMPARE(effective(AppLanguage::system), AppLanguage::en);
        QLocale::setDefault(saved);
        QCOMPARE(languageCode(AppLanguage::es), QString("es"));
        QCOMPARE(effective(AppLanguage::it), AppLanguage::it);
    }

    void themesAndStoredTexts() {
        QCOMPARE(colorScheme(AppTheme::dark), std::optional(ColorScheme::dark));
        QCOMPARE(colorScheme(AppTheme::light), std::optional(ColorScheme::light));
        QVERIFY(!colorScheme(AppTheme::system));
        for (const auto language : allAppLanguages)
            QCOMPARE(appLanguageFromStored(storedText(language)), std::optional(language));
        QVERIFY(!appThemeFromStored("System"));
    }
};

QUORLIX_TEST_MAIN(ConfigTest)
#include "ConfigTest.moc"
