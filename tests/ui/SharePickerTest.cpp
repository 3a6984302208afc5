#include "ui/SharePicker.h"

#include "TempFolder.h"
#include "TestEnvironment.h"
#include "app/AppModel.h"
#include "app/FileMover.h"
#include "app/FileUrl.h"
#include "app/L.h"
#include "app/ShareCard.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <fstream>

using namespace quorlix;
namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A model whose scan found one exact group (keeper "a b.jpg") and one near group (keeper
// "é.jpg"), all files real; with `withResult` false, a model that has not scanned.
struct Fixture {
    test::TempFolder folder;
    std::shared_ptr<test::RecordingDesktop> desktop = std::make_shared<test::RecordingDesktop>();
    std::unique_ptr<AppModel> model;
    SharePicker picker;

    explicit Fixture(bool withResult = true) {
        const auto photo = [this](const char* name, const char* bytes) {
            return test::recordFor(folder.write(std::string("photos/") + name, bytes));
        };
        ScanResult result;
        result.folder = photos();
        result.totalPhotos = 4;
        result.groups = {
            test::groupOf(
                ScanResult::Kind::exact, "exact:0",
                {photo("a b.jpg", "exact keeper"), photo("a b copy.jpg", "exact keeper")}),
            test::groupOf(ScanResult::Kind::near, "near:0",
                          {photo("é.jpg", "near keeper"), photo("é2.jpg", "near other")})};
        model = withResult ? test::modelWithResult(result, desktop)
                           : std::make_unique<AppModel>(nullptr, desktop);
        picker.setAppModel(model.get());
    }

    fs::path photos() const { return folder.path() / "photos"; }
};

} // namespace

class SharePickerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() {
        std::error_code ec;
        fs::remove_all(ShareCard::directory(), ec);
    }

    void filesBecomeAListFileManagersPaste() {
        const QList<QUrl> files = {urlFromPath("/photos/a b.jpg"), urlFromPath("/photos/é.jpg")};
        std::unique_ptr<QMimeData> data(SharePicker::filesMimeData(files));
        QCOMPARE(data->urls(), files);
        QCOMPARE(data->data("text/uri-list"),
                 QByteArray("file:///photos/a%20b.jpg\r\nfile:///photos/%C3%A9.jpg\r\n"));
        QCOMPARE(data->data("x-special/gnome-copied-files"),
                 QByteArray("copy\nfile:///photos/a%20b.jpg\nfile:///photos/%C3%A9.jpg"));
        QCOMPARE(data->text(), QString("/photos/a b.jpg\n/photos/é.jpg"));
    }

    void copyingKeepersPutsTheirFilesOnTheClipboard() {
        Fixture f;
        f.picker.setKind("keepers");
        QVERIFY(f.picker.prepare());
        QCOMPARE(f.picker.items().size(), 2);
        QVERIFY(f.picker.copyToClipboard());
        QCOMPARE(f.desktop->clipboardData->urls(), f.picker.items());
        QVERIFY(f.desktop->clipboardData->hasFormat("x-special/gnome-copied-files"));
        QCOMPARE(f.model->toastText(), L::picker::copied());
        QVERIFY(f.model->errorMessage().isEmpty());
    }

    void copyingTheResultPutsTheCardAndCaptionOnTheClipboard() {
        Fixture f;
        QVERIFY(f.picker.prepare());
        QCOMPARE(f.picker.items(),
                 QList<QUrl>{urlFromPath(ShareCard::directory() / ShareCard::fileName)});
        QVERIFY(f.picker.copyToClipboard());
        const auto image = qvariant_cast<QImage>(f.desktop->clipboardData->imageData());
        QCOMPARE(image.size(), QSize(2400, 1260));
        QCOMPARE(f.desktop->clipboardData->text(), ShareCard::caption(*f.model->result()));
    }

    void aClipboardThatKeepsNothingIsReported() {
        Fixture f;
        f.picker.setKind("keepers");
        QVERIFY(f.picker.prepare());
        f.desktop->clipboardWorks = false;
        test::LogCapture logs;
        QVERIFY(!f.picker.copyToClipboard());
        QCOMPARE(f.model->errorMessage(), L::picker::copyFailed());
        QVERIFY(!f.model->hasToast() || f.model->toastText() != L::picker::copied());
        QVERIFY(logs.contains("Share copy failed: the clipboard kept nothing"));
    }

    void revealShowsEveryItemOrSaysItCannot() {
        Fixture f;
        f.picker.setKind("keepers");
        QVERIFY(f.picker.prepare());
        QVERIFY(f.picker.showInFileManager());
        QCOMPARE(f.desktop->revealed.size(), std::size_t(2));
        QCOMPARE(f.desktop->revealed.front(), f.photos() / "a b.jpg");
        f.desktop->revealWorks = false;
        QVERIFY(!f.picker.showInFileManager());
        QCOMPARE(f.model->errorMessage(), L::picker::revealFailed());
    }

    void nothingToShareOpensNothing() {
        Fixture f(false);
        test::LogCapture logs;
        f.picker.setKind("keepers");
        QVERIFY(!f.picker.prepare());
        QVERIFY(logs.contains("share_keepers n=0"));
        f.picker.setKind("result");
        QVERIFY(!f.picker.prepare());
        QVERIFY(f.model->errorMessage().isEmpty()); // no result is not a failure
        QVERIFY(!f.picker.copyToClipboard());
        QVERIFY(!f.desktop->clipboardData);
        QVERIFY(!fs::exists(ShareCard::directory()));
    }

    void aCardThatCannotBeMadeIsReportedAndCopiesNoCaption() {
        Fixture f;
        f.model->setShareCardRenderer([](const ScanResult&) { return QImage(); });
        QVERIFY(!f.picker.prepare());
        QCOMPARE(f.model->errorMessage(), L::picker::cardFailed());
        QVERIFY(f.desktop->clipboard.isNull());
        QVERIFY(!f.model->hasToast());
    }

    void savingNeverReplacesAndPicksAFreeName() {
        Fixture f;
        f.picker.setKind("keepers");
        QVERIFY(f.picker.prepare());
        const fs::path target = f.folder.path() / "target";
        f.folder.write("target/a b.jpg", "theirs 1");
        f.folder.write("target/a b 2.jpg", "theirs 2");
        fs::create_symlink(target / "nowhere", target / "a b 3.jpg"); // dangling: still taken
        QVERIFY(f.picker.saveCopyTo(urlFromPath(target)));
        QCOMPARE(readFile(target / "a b.jpg"), std::string("theirs 1"));
        QCOMPARE(readFile(target / "a b 2.jpg"), std::string("theirs 2"));
        QVERIFY(fs::is_symlink(target / "a b 3.jpg"));
        QCOMPARE(readFile(target / "a b 4.jpg"), std::string("exact keeper"));
        QCOMPARE(readFile(target / "é.jpg"), std::string("near keeper"));
        QCOMPARE(f.model->toastText(), L::picker::saved("target"));
        // Again: every name is taken now, so the copies go beside them.
        QVERIFY(f.picker.saveCopyTo(urlFromPath(target)));
        QCOMPARE(readFile(target / "a b 5.jpg"), std::string("exact keeper"));
        QCOMPARE(readFile(target / "é 2.jpg"), std::string("near keeper"));
        // The sources are untouched.
        QCOMPARE(readFile(f.photos() / "a b.jpg"), std::string("exact keeper"));
    }

    void aCopyThatCannotBeMadeIsReportedAndLeavesNothing() {
        Fixture f;
        f.picker.setKind("keepers");
        QVERIFY(f.picker.prepare());
        QVERIFY(!f.picker.saveCopyTo(urlFromPath(f.folder.path() / "missing")));
        QCOMPARE(f.model->errorMessage(), L::picker::saveFailed());
        QVERIFY(!fs::exists(f.folder.path() / "missing"));

        f.model->setErrorMessage({});
        const fs::path target = f.folder.path() / "target";
        fs::create_directories(target);
        fs::remove(f.photos() / "é.jpg"); // gone since the scan
        QVERIFY(!f.picker.saveCopyTo(urlFromPath(target)));
        QCOMPARE(f.model->errorMessage(), L::picker::saveFailed());
        QVERIFY(!fs::exists(target / "é.jpg"));

        std::error_code error;
        QVERIFY(!FileMover::copyInto(f.photos() / "a b.jpg", f.photos() / "a b.jpg", error));
        QVERIFY(error);
    }

    // The card goes with its caption as the mail's text (the keepers' mail is run below).
    void emailOfTheCardCarriesTheCaption() {
        QCOMPARE(SharePicker::emailArguments({urlFromPath("/photos/a b.jpg")}, "Caption #Veltrano"),
                 QStringList({"--body", "Caption #Veltrano", "--attach", "/photos/a b.jpg"}));
    }

    void emailRunsTheMailProgramAndReportsItsFailure() {
        Fixture f;
        const fs::path argsFile = f.folder.path() / "args";
        const fs::path script = f.folder.write(
            "fake-email", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                              argsFile.string() + "'\nexit \"${FAKE_EMAIL_EXIT:-0}\"\n");
        fs::permissions(script, fs::perms::owner_all);
        f.picker.setEmailProgram(QString::fromStdString(script.string()));
        QVERIFY(f.picker.canSendByEmail());
        f.picker.setKind("keepers");
        QVERIFY(f.picker.prepare());

        QSignalSpy finished(&f.picker, &SharePicker::emailFinished);
        QVERIFY(f.picker.sendByEmail());
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.last().at(0).toBool(), true);
        QCOMPARE(readFile(argsFile), "--attach\n" + (f.photos() / "a b.jpg").string() +
                                         "\n--attach\n" + (f.photos() / "é.jpg").string() + "\n");
        QVERIFY(f.model->errorMessage().isEmpty());

        qputenv("FAKE_EMAIL_EXIT", "3"); // xdg-email: no mail program found
        QVERIFY(f.picker.sendByEmail());
        QVERIFY(finished.wait(10000));
        qunsetenv("FAKE_EMAIL_EXIT");
        QCOMPARE(finished.last().at(0).toBool(), false);
        QCOMPARE(f.model->errorMessage(), L::picker::emailFailed());

        f.model->setErrorMessage({});
        f.picker.setEmailProgram(QString::fromStdString((f.folder.path() / "none").string()));
        QVERIFY(f.picker.sendByEmail()); // started, fails to start
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.last().at(0).toBool(), false);
        QCOMPARE(f.model->errorMessage(), L::picker::emailFailed());

        f.model->setErrorMessage({});
        f.picker.setEmailProgram({});
        QVERIFY(!f.picker.canSendByEmail());
        QVERIFY(!f.picker.sendByEmail());
        QCOMPARE(f.model->errorMessage(), L::picker::emailFailed());
    }
};

int runSharePickerTest(int argc, char** argv) {
    SharePickerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SharePickerTest.moc"
