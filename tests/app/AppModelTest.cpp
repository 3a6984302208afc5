#include "app/AppModel.h"

#include "TempFolder.h"
#include "TestEnvironment.h"
#include "app/FileUrl.h"
#include "app/L.h"
#include "engine/core/QuorlixFeature.h"
#include "engine/core/ScanCancelled.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <atomic>
#include <condition_variable>
#include <limits>
#include <mutex>

using namespace quorlix;
using Screen = AppModel::Screen;
using Phase = ScanProgress::Phase;

Q_DECLARE_METATYPE(quorlix::AppModel::Screen)

namespace {

// Holds a fake scan until the test opens it or the scan is asked to stop.
struct Gate {
    std::mutex mutex;
    std::condition_variable_any cv;
    bool open = false;

    void release() {
        {
            std::lock_guard lock(mutex);
            open = true;
        }
        cv.notify_all();
    }
    // True when opened, false when stopped first.
    bool wait(std::stop_token stop) {
        std::unique_lock lock(mutex);
        return cv.wait(lock, stop, [&] { return open; });
    }
};

// A model whose scans run `scan`.
AppModel scanning(AppModel::ScanFunction scan) {
    return AppModel(std::move(scan), std::make_shared<test::RecordingDesktop>());
}

ScanResult resultWithGroups(const std::filesystem::path& folder, int groups) {
    ScanResult result;
    result.folder = folder;
    result.totalPhotos = 2 * groups;
    for (int i = 0; i < groups; ++i) {
        PhotoRecord a, b;
        a.id = "a" + std::to_string(i);
        b.id = "b" + std::to_string(i);
        a.fileURL = (folder / (a.id + ".jpg")).native();
        b.fileURL = (folder / (b.id + ".jpg")).native();
        result.groups.push_back(
            test::groupOf(ScanResult::Kind::exact, "exact:" + std::to_string(i), {a, b}));
    }
    return result;
}

} // namespace

// Receives the URLs the desktop would have opened.
class UrlSink : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }
};

class AppModelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { quorlixSettings()->clear(); }

    void realScanWithCopiesShowsTheSplash() {
        test::TempFolder folder;
        const std::string bytes = test::randomBytes(70'000, 1);
        folder.write("a.jpg", bytes);
        folder.write("sub/b.jpg", bytes);
        folder.write("c.jpg", test::randomBytes(70'000, 2));
        folder.write("d.png", test::randomBytes(10, 3));
        test::LogCapture logs;
        AppModel model = scanning(nullptr);
        QSignalSpy screens(&model, &AppModel::screenChanged);
        model.startScan(urlFromPath(folder.path()));
        QCOMPARE(model.screen(), Screen::scanning);
        QCOMPARE(model.folderName(), QString::fromStdString(folder.path().filename().native()));
        QVERIFY(test::waitForScanEnd(model));
        QCOMPARE(model.screen(), Screen::splash);
        QVERIFY(model.result());
        QCOMPARE(model.result()->totalPhotos, 4);
        QCOMPARE(model.result()->groups.size(), std::size_t(1));
        QCOMPARE(model.completedScans(), 1);
        QCOMPARE(QuorlixConfig::load().completedScans, 1);
        QVERIFY(logs.contains("scan_started"));
        QVERIFY(logs.contains("scan_completed dup=1"));
        QCOMPARE(model.keptPhotoURLs(), QList<QUrl>{urlFromPath(folder.path() / "a.jpg")});
        model.setScreen(Screen::results);
        QCOMPARE(model.screen(), Screen::results);

        // A folder without copies goes straight to the results, and counts as well.
        test::TempFolder plain;
        plain.write("x.jpg", test::randomBytes(100, 4));
        model.startScan(urlFromPath(plain.path()));
        QVERIFY(!model.result());
        QVERIFY(test::waitForScanEnd(model));
        QCOMPARE(model.screen(), Screen::results);
        QVERIFY(model.result() && model.result()->groups.empty());
        QCOMPARE(model.completedScans(), 2);

        // The scans remembered what they read, in the test's own cache folder; forgetting it
        // leaves nothing behind.
        QVERIFY(model.analysisCacheBytes() > 0);
        QVERIFY(model.analysisCacheText().contains(QLatin1String("Cached analyses: ")));
        QSignalSpy cacheChanges(&model, &AppModel::analysisCacheChanged);
        model.forgetCachedAnalyses();
        QCOMPARE(cacheChanges.size(), 1);
        QCOMPARE(model.analysisCacheBytes(), 0);
        QVERIFY(!model.toast());
    }

    void bookmarkSurvivesTheCountAfterAScan() {
        QuorlixConfig stored;
        stored.lastFolderBookmark = QByteArray("\x01\x02bookmark", 10);
        stored.completedScans = std::numeric_limits<std::int64_t>::max();
        stored.save();
        test::TempFolder folder;
        auto model = test::modelWithResult(resultWithGroups(folder.path(), 0));
        QCOMPARE(model->screen(), Screen::results);
        // Saturates rather than overflowing.
        QCOMPARE(QuorlixConfig::load().completedScans, std::numeric_limits<std::int64_t>::max());
        QCOMPARE(QuorlixConfig::load().lastFolderBookmark, stored.lastFolderBookmark);
    }

    void progressArrivesInOrderOnTheMainThread() {
        std::vector<std::int64_t> seen;
        AppModel model = scanning([](const auto& folder, const auto& progress, std::stop_token) {
            for (int i = 1; i <= 500; ++i)
                progress({Phase::hashing, i, 500});
            return resultWithGroups(folder, 0);
        });
        QThread* main = QThread::currentThread();
        bool offThread = false;
        connect(&model, &AppModel::progressChanged, [&] {
            offThread |= QThread::currentThread() != main;
            seen.push_back(model.progress().current);
        });
        model.startScan(QUrl::fromLocalFile("/nonexistent-quorlix"));
        QCOMPARE(seen, std::vector<std::int64_t>{0}); // the reset to enumerating, 0 of 0
        QVERIFY(test::waitForScanEnd(model));
        QVERIFY(!offThread);
        QCOMPARE(seen.size(), std::size_t(501));
        for (std::size_t i = 1; i < seen.size(); ++i)
            QCOMPARE(seen[i], std::int64_t(i));
    }

    void failureShowsTheOneMessage() {
        test::LogCapture logs;
        AppModel model = scanning([](const auto&, const auto&, std::stop_token) -> ScanResult {
            throw std::runtime_error("disk on fire");
        });
        model.startScan(QUrl::fromLocalFile("/somewhere"));
        QVERIFY(test::waitForScanEnd(model));
        QCOMPARE(model.screen(), Screen::empty);
        QCOMPARE(model.errorMessage(), L::error::folderUnreadable());
        QVERIFY(!model.result());
        QCOMPARE(model.completedScans(), 0);
        QVERIFY(logs.contains("Scan failed: disk on fire"));
    }

    void cancelReturnsToTheEmptyScreen() {
        auto gate = std::make_shared<Gate>();
        test::LogCapture logs;
        AppModel model =
            scanning([gate](const auto& folder, const auto& progress, std::stop_token stop) {
                progress({Phase::hashing, 1, 10});
                if (!gate->wait(stop))
                    throw ScanCancelled();
                return resultWithGroups(folder, 1);
            });
        model.startScan(QUrl::fromLocalFile("/photos"));
        QTRY_COMPARE(model.progress().current, 1);
        QVERIFY(model.isScanning());
        model.cancelScan();
        QVERIFY(!model.isScanning());
        QTRY_COMPARE(model.screen(), Screen::empty);
        QVERIFY(!model.result());
        QCOMPARE(model.completedScans(), 0);
        QVERIFY(model.errorMessage().isNull());
        QVERIFY(!logs.contains("scan_completed dup=1"));
        model.cancelScan(); // nothing to cancel: harmless
    }

    void restartDropsEverythingTheOldScanSaysLate() {
        auto first = std::make_shared<Gate>();
        auto second = std::make_shared<Gate>();
        std::atomic<bool> firstDone{false};
        AppModel model = scanning(
            [&, first, second](const auto& folder, const auto& progress, std::stop_token stop) {
                if (folder == "/first") {
                    progress({Phase::hashing, 1, 2});
                    first->wait(stop);
                    // Ignores the cancel on purpose: late progress and a result with groups.
                    progress({Phase::scoring, 99, 99});
                    firstDone = true;
                    return resultWithGroups(folder, 3);
                }
                second->wait(stop);
                return resultWithGroups(folder, 0);
            });
        model.startScan(QUrl::fromLocalFile("/first"));
        QTRY_COMPARE(model.progress().current, 1);
        model.startScan(QUrl::fromLocalFile("/second"));
        QCOMPARE(model.progress(), ScanProgress{});
        QTRY_VERIFY(firstDone.load());
        QTest::qWait(100); // let whatever the first scan posted arrive
        QCOMPARE(model.screen(), Screen::scanning);
        QCOMPARE(model.progress(), ScanProgress{});
        QVERIFY(!model.result());
        QCOMPARE(model.folder(), QUrl::fromLocalFile("/second"));
        QCOMPARE(model.completedScans(), 0);
        second->release();
        QVERIFY(test::waitForScanEnd(model));
        QCOMPARE(model.screen(), Screen::results);
        QCOMPARE(model.result()->folder, std::filesystem::path("/second"));
        QCOMPARE(model.completedScans(), 1);
    }

    void destroyingTheModelStopsItsScan() {
        // The scan waits for a gate nobody opens: only the model's stop request ends it.
        auto gate = std::make_shared<Gate>();
        auto stoppedByModel = std::make_shared<std::atomic<bool>>(false);
        const int leftBefore = ScanSession::scansLeftRunning();
        {
            AppModel model = scanning([gate, stoppedByModel](const auto&, const auto&,
                                                             std::stop_token stop) -> ScanResult {
                const bool opened = gate->wait(stop);
                stoppedByModel->store(!opened && stop.stop_requested());
                throw ScanCancelled();
            });
            model.startScan(QUrl::fromLocalFile("/photos"));
        }
        // The destructor asked the scan to stop and waited for it, so nothing was left behind.
        QVERIFY(stoppedByModel->load());
        QCOMPARE(ScanSession::scansLeftRunning(), leftBefore);
        QTest::qWait(20); // nothing posted may reach the dead model
    }

    void dropsScanTheFirstItemOrItsFolder() {
        test::TempFolder folder;
        const auto photo = folder.write("inner/p.jpg", "x");
        AppModel model = scanning(
            [](const auto& f, const auto&, std::stop_token) { return resultWithGroups(f, 0); });
        QVERIFY(!model.handleDrop({}));
        QCOMPARE(model.screen(), Screen::empty);

        QVERIFY(model.handleDrop({urlFromPath(folder.path() / "inner"), urlFromPath(folder.path()),
                                  urlFromPath(photo)}));
        QTRY_COMPARE(model.folder(), urlFromPath(folder.path() / "inner"));
        QVERIFY(test::waitForScanEnd(model));

        QVERIFY(model.handleDrop({urlFromPath(photo)}));
        QTRY_COMPARE(model.folder(), urlFromPath(folder.path() / "inner"));
        model.newScan();
        QVERIFY(model.handleDrop({urlFromPath(folder.path() / "gone" / "missing.jpg")}));
        QTRY_COMPARE(model.folder(), urlFromPath(folder.path() / "gone"));
        QVERIFY(test::waitForScanEnd(model));
    }

    void chooseFolderUsesThePanel() {
        AppModel model = scanning(
            [](const auto& f, const auto&, std::stop_token) { return resultWithGroups(f, 0); });
        QSignalSpy asked(&model, &AppModel::folderPanelRequested);
        model.chooseFolder(); // no picker installed: the view is asked
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked.at(0).at(0).toString(), L::empty::chooseFolder());

        std::optional<QUrl> answer;
        AppModel::FolderPanel shown;
        model.setFolderPicker([&](const AppModel::FolderPanel& panel) {
            shown = panel;
            return answer;
        });
        model.chooseFolder();
        QCOMPARE(model.screen(), Screen::empty);
        QVERIFY(!shown.canCreateDirectories);
        answer = QUrl::fromLocalFile("/chosen");
        model.chooseFolder();
        QCOMPARE(model.screen(), Screen::scanning);
        QCOMPARE(model.folderName(), QString("chosen"));
        QVERIFY(test::waitForScanEnd(model));
    }

    void keeperChoices() {
        test::TempFolder folder;
        auto model = test::modelWithResult(resultWithGroups(folder.path(), 2));
        QSignalSpy changes(model.get(), &AppModel::resultChanged);
        model->setKeeper("exact:9", "b0");
        model->resetKeeper("exact:9");
        QCOMPARE(changes.count(), 0);
        model->setKeeper("exact:1", "b1");
        QCOMPARE(model->result()->groups[1].keeperId, std::string("b1"));
        QCOMPARE(model->result()->groups[1].autoKeeperId, std::string("a1"));
        QCOMPARE(model->keptPhotoURLs().at(1), urlFromPath(folder.path() / "b1.jpg"));
        model->setKeeper("exact:0", "not-a-member"); // membership is not checked
        QCOMPARE(model->keptPhotoURLs().size(), 1);
        model->resetKeeper("exact:1");
        QCOMPARE(model->result()->groups[1].keeperId, std::string("a1"));
        QCOMPARE(changes.count(), 3);
    }

    void newScanKeepsTheAlertAndTheNotice() {
        test::TempFolder folder;
        auto model = test::modelWithResult(resultWithGroups(folder.path(), 1));
        model->setErrorMessage("boom");
        model->setToast(AppModel::Toast{"hello", false, QUuid::createUuid()});
        model->newScan();
        QCOMPARE(model->screen(), Screen::empty);
        QVERIFY(!model->result() && model->folder().isEmpty() && !model->lastMove());
        QCOMPARE(model->folderName(), QString());
        QCOMPARE(model->errorMessage(), QString("boom"));
        QCOMPARE(model->toastText(), QString("hello"));
    }

    void storeLinkAndReveal() {
        auto desktop = std::make_shared<test::RecordingDesktop>();
        test::TempFolder folder;
        auto model = test::modelWithResult(resultWithGroups(folder.path(), 1), desktop);
        test::LogCapture logs;
        model->openAppStore("teaser_3");
        QVERIFY(logs.contains("appstore_click source=teaser_3"));
        QCOMPARE(desktop->opened,
                 QList<QUrl>{QUrl(QString::fromLatin1(QuorlixFeature::appStoreURL.data(),
                                                      QuorlixFeature::appStoreURL.size()))});
        model->revealInFileManager(model->result()->groups[0].members[1]);
        QCOMPARE(desktop->revealed.size(), std::size_t(1));
        QCOMPARE(desktop->revealed[0], folder.path() / "b0.jpg");
    }

    void aNoticesTimerClearsOnlyItsOwnNotice() {
        test::TempFolder folder;
        auto model = test::modelWithResult(resultWithGroups(folder.path(), 1));
        model->openQuickLook("nobody"); // not a member: nothing to show
        QVERIFY(!model->hasQuickLook());
        model->setToast(AppModel::Toast{"first", false, QUuid::createUuid()});
        const QString first = model->toastId();
        model->setToast(AppModel::Toast{"second", true, QUuid::createUuid()});
        model->dismissToast(first);
        QCOMPARE(model->toastText(), QString("second"));
        model->dismissToast(model->toastId());
        QVERIFY(!model->hasToast());
    }

    void desktopFallsBackToTheParentFolder() {
        // URL handlers stand in for the browser and the file manager.
        UrlSink sink;
        QDesktopServices::setUrlHandler("file", &sink, "open");
        QDesktopServices::setUrlHandler("https", &sink, "open");
        DesktopServices desktop;
        QVERIFY(desktop.openUrl(QUrl("https://veltrano.app/")));
        // No session bus in the tests: the folder of the file opens instead.
        QVERIFY(desktop.revealFile("/photos/caf\xe9/p.jpg"));
        QDesktopServices::unsetUrlHandler("file");
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(sink.urls.size(), 2);
        QCOMPARE(sink.urls[1], urlFromPath("/photos/caf\xe9"));
        QCOMPARE(pathFromUrl(sink.urls[1]), std::filesystem::path("/photos/caf\xe9"));
    }
};

QUORLIX_TEST_MAIN(AppModelTest)
#include "AppModelTest.moc"
