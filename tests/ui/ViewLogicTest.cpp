#include "ui/ViewLogic.h"

#include "UiTestEnvironment.h"
#include "app/ScanSession.h"
#include "app/StringCatalogue.h"
#include "ui/Appearance.h"
#include "ui/CommandLine.h"
#include "ui/FolderChoice.h"
#include "ui/QuorlixApp.h"
#include "ui/ResultSummary.h"
#include "ui/StartupDiagnosis.h"

#include <QDir>
#include <QGuiApplication>
#include <QPalette>
#include <QQmlApplicationEngine>
#include <QQmlError>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBoundaryFinder>

using namespace quorlix;

class ViewLogicTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The bar itself, sliver and all, is checked on the scanning screen.
    void noTotalNeverDivides() { QCOMPARE(ViewLogic::fraction(0, 0), 0.0); }

    void everyEnginePhaseHasItsOwnLabel() {
        QSet<QString> labels;
        for (auto phase : {ScanProgress::Phase::enumerating, ScanProgress::Phase::hashing,
                           ScanProgress::Phase::analyzing, ScanProgress::Phase::grouping,
                           ScanProgress::Phase::scoring})
            labels.insert(ScanSession::label(ScanSession::phaseOf(phase)));
        QCOMPARE(labels.size(), 5);
        QVERIFY(!labels.contains(QString()));
    }

    void hexColours() {
        const QColor c = ViewLogic::hexColor(QStringLiteral("#7b6cf6"));
        QCOMPARE(c.rgba(), qRgba(123, 108, 246, 255));
        QCOMPARE(ViewLogic::hexColor(QStringLiteral("7b6cf6")), c);
        QCOMPARE(ViewLogic::hexColor(QStringLiteral("##7b6cf6#")), c);
        // Only the low 24 bits are colour.
        QCOMPARE(ViewLogic::hexColor(QStringLiteral("ff7b6cf6")), c);
        for (const char* bad : {"", "#", "xyz", "#12 34", "0x7b6cf6", "-1", "12345678901234567"})
            QCOMPARE(ViewLogic::hexColor(QString::fromLatin1(bad)), QColor(Qt::black));
    }

    void theViewsSpringsSettle() {
        // Simulates SpringAnimation's own loop, one step per 16 ms, from 0 to 1.
        for (const auto& p :
             {ViewLogic::springParameters(0.45, 0.85), ViewLogic::springParameters(0.35, 0.75)}) {
            double x = 0, v = 0;
            const double k = p.value("spring").toDouble(), d = p.value("damping").toDouble();
            double peak = 0;
            for (int i = 0; i < 120; ++i) {
                v = v + k * (1 - x) - d * v;
                x += v * 0.016;
                peak = std::max(peak, x);
            }
            QVERIFY(std::abs(x - 1) < 0.01);
            QVERIFY(peak < 1.2); // under-damped, but only slightly
        }
    }

    void licenceNameNeverWraps() {
        const QString licence = QStringLiteral("GPL-3.0-or-later");
        QTextBoundaryFinder plain(QTextBoundaryFinder::Line, licence);
        QVERIFY(plain.toNextBoundary() < licence.size()); // plain hyphens let a line break
        const QString shown = ViewLogic::unbroken(licence);
        QTextBoundaryFinder lines(QTextBoundaryFinder::Line, shown);
        QCOMPARE(lines.toNextBoundary(), shown.size());
        QCOMPARE(shown.size(), licence.size());
    }

    // After a move that took every exact copy, one look-alike is left and nothing to reclaim.
    void resultSummaryAgreesInNumberAndShowsNoEmptySize() {
        struct Case {
            const char* language;
            std::int64_t photos, duplicates, bytes;
            const char* text;
        };
        const Case cases[] = {
            {"en", 24, 5, 12'300'000, "24 photos \u00b7 5 duplicates \u00b7 12.3 MB reclaimable"},
            {"en", 1, 1, 0, "1 photo \u00b7 1 duplicate"},
            {"en", 12, 0, 4000, "12 photos \u00b7 0 duplicates"},
            {"it", 24, 5, 12'300'000, "24 foto \u00b7 5 doppioni \u00b7 12,3 MB recuperabili"},
            {"it", 14, 1, 0, "14 foto \u00b7 1 doppione"},
            {"es", 24, 5, 12'300'000, "24 fotos \u00b7 5 duplicados \u00b7 12,3 MB recuperables"},
            {"es", 1, 1, 0, "1 foto \u00b7 1 duplicado"},
        };
        for (const Case& c : cases) {
            StringCatalogue::shared().load(QString::fromLatin1(c.language));
            QCOMPARE(ResultSummary::summaryText(c.photos, c.duplicates, c.bytes),
                     QString::fromUtf8(c.text));
        }
        StringCatalogue::shared().load(QStringLiteral("en"));
    }

    // An explicit theme is checked through the stored record below.
    void appearanceFollowsTheSystem() {
        QVERIFY(Appearance::isDark(AppTheme::system, true));
        QVERIFY(!Appearance::isDark(AppTheme::system, false));
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(30, 30, 30));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        QVERIFY(Appearance::paletteIsDark(dark));
        QPalette light;
        light.setColor(QPalette::Window, QColor(240, 240, 240));
        light.setColor(QPalette::WindowText, QColor(20, 20, 20));
        QVERIFY(!Appearance::paletteIsDark(light));
        // The desktop portal's color-scheme wins over the palette; "no preference" does not.
        QVERIFY(Appearance::systemPrefersDark(1, false));
        QVERIFY(!Appearance::systemPrefersDark(2, true));
        QVERIFY(Appearance::systemPrefersDark(0, true));
        QVERIFY(!Appearance::systemPrefersDark(0, false));
    }

    void commandLineTakesOneFolderAndTheTwoInformationalOptions() {
        using Action = CommandLine::Action;
        QCOMPARE(CommandLine::parse({}).action, Action::run);
        QCOMPARE(CommandLine::parse({"Holiday photos"}).folder, QString("Holiday photos"));
        QCOMPARE(CommandLine::parse({"a", "--version"}).action, Action::version);
        QCOMPARE(CommandLine::parse({"-h"}).action, Action::help);
        QCOMPARE(CommandLine::parse({"--", "-odd name"}).folder, QString("-odd name"));
        QCOMPARE(CommandLine::parse({"--frobnicate"}).action, Action::error);
        QCOMPARE(CommandLine::parse({"a", "b"}).action, Action::error);
        char program[] = "quorlix";
        char version[] = "--version";
        char* argv[] = {program, version, nullptr};
        QCOMPARE(CommandLine::parseEarly(2, argv).action, Action::version);
    }

    void folderChoiceStartsInTheLastFolderThenPicturesThenHome() {
        QTemporaryDir last;
        QCOMPARE(FolderChoice::startFolder(last.path()), QUrl::fromLocalFile(last.path()));
        const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        QDir(pictures).removeRecursively();
        QCOMPARE(FolderChoice::startFolder(last.path() + "/gone"),
                 QUrl::fromLocalFile(QDir::homePath()));
        QVERIFY(QDir().mkpath(pictures));
        QCOMPARE(FolderChoice::startFolder(QString()), QUrl::fromLocalFile(pictures));
        QDir(pictures).removeRecursively();
    }

    void folderChoiceResolvesTypedPathsAndMakesOnlyNewFolders() {
        QTemporaryDir base;
        const QUrl baseUrl = QUrl::fromLocalFile(base.path());
        const QUrl made = FolderChoice::createFolder(baseUrl, "Sorted");
        QCOMPARE(made, QUrl::fromLocalFile(base.path() + "/Sorted"));
        QVERIFY(FolderChoice::createFolder(baseUrl, "Sorted").isEmpty()); // exists already
        QVERIFY(FolderChoice::createFolder(baseUrl, "a/b").isEmpty());
        QVERIFY(FolderChoice::createFolder(baseUrl, "..").isEmpty());
        QVERIFY(FolderChoice::createFolder(baseUrl, "  ").isEmpty());
        QCOMPARE(FolderChoice::resolve("Sorted", baseUrl), made);
        QCOMPARE(FolderChoice::resolve(" " + base.path() + "/Sorted/ ", QUrl()), made);
        QCOMPARE(FolderChoice::resolve(made.toString(), QUrl()), made);
        QCOMPARE(FolderChoice::resolve("~", QUrl()), QUrl::fromLocalFile(QDir::homePath()));
        QVERIFY(FolderChoice::resolve("missing", baseUrl).isEmpty());
        QVERIFY(FolderChoice::resolve("", baseUrl).isEmpty());
        QCOMPARE(FolderChoice::parentFolder(made), baseUrl);
        QCOMPARE(FolderChoice::parentFolder(QUrl::fromLocalFile("/")), QUrl::fromLocalFile("/"));
    }

    void appearanceFollowsTheStoredRecord() {
        test::ModelHarness harness;
        Appearance appearance(harness.model());
        QSignalSpy changed(&appearance, &Appearance::darkChanged);
        QuorlixConfig config = harness.model()->config();
        config.theme = AppTheme::dark;
        harness.model()->setConfig(config);
        QVERIFY(appearance.dark());
        config.theme = AppTheme::light;
        harness.model()->setConfig(config);
        QVERIFY(!appearance.dark());
        QCOMPARE(changed.count(), 2);
    }

    // How a start that failed for a missing module reads is checked below, on a real engine.
    void missingModuleNamesItsPackage() {
        QCOMPARE(debianPackageForModule(QStringLiteral("Qt.labs.folderlistmodel")),
                 QStringLiteral("qml6-module-qt-labs-folderlistmodel"));
        QQmlError other;
        other.setDescription(QStringLiteral("Type Foo unavailable"));
        QVERIFY(!startupFailureMessage({other}).isEmpty());
    }

    void aMissingModuleFailsTheStartWithItsName() {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("Root.qml")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("import QtQuick\nimport QtQuick.NotShipped\nWindow {}\n");
        file.close();
        QQmlApplicationEngine engine;
        QString failure;
        // "failed to load component", then the error itself.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".*")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".*")));
        QVERIFY(!QuorlixApp::loadWindow(engine, QUrl::fromLocalFile(file.fileName()), &failure));
        QVERIFY2(failure.contains(QStringLiteral("QtQuick.NotShipped")), qPrintable(failure));
        QVERIFY(failure.contains(QStringLiteral("qml6-module-qtquick-notshipped")));
    }

    void fontsRegisterWhenPresentAndAreSkippedOtherwise() {
        QTemporaryDir empty;
        QVERIFY(QuorlixApp::registerFonts(empty.path()).isEmpty());
        // A file that is not a font is skipped silently too.
        QFile junk(empty.filePath(QStringLiteral("Fraunces-Latin-300.woff2")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a font");
        junk.close();
        QVERIFY(QuorlixApp::registerFonts(empty.path()).isEmpty());
#ifdef QUORLIX_FONT_DIR
        if (QFile::exists(QStringLiteral(QUORLIX_FONT_DIR "/Fraunces-Latin-300.woff2")))
            QVERIFY(QuorlixApp::registerFonts(QStringLiteral(QUORLIX_FONT_DIR))
                        .contains(QStringLiteral("Fraunces")));
#endif
    }
};

QUORLIX_TEST_MAIN(ViewLogicTest)

#include "ViewLogicTest.moc"
