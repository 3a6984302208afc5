#include "ui/SharePicker.h"

#include "TempFolder.h"
#include "app/AppModel.h"
#include "app/FileMover.h"
#include "app/FileUrl.h"
#include "app/L.h"
#include "app/ShareCard.h"
#include "engine/core/Log.h"

#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <fstream>

using namespace quorlix;
namespace fs = std::filesystem;

namespace {

// Records what the picker asks of the desktop; each answer can be made to fail.
class FakeDesktop : public DesktopServices {
public:
    bool openUrl(const QUrl& url) override {
        opened += url;
        return true;
    }
    bool revealFiles(const std::vector<fs::path>& files) override {
        revealed = files;
        return revealWorks;
    }
    void setClipboardText(const QString& text) override { clipboardText = text; }
    bool setClipboardData(QMimeData* data) override {
        clipboard.reset(data);
        return clipboardWorks;
    }

    QList<QUrl> opened;
    std::vector<fs::path> revealed;
    QString clipboardText;
    std::unique_ptr<QMimeData> clipboard;
    bool revealWorks = true;
    bool clipboardWorks = true;
};

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A model whose scan found one exact group (keeper "a b.jpg") and one near group (keeper
// "é.jpg"), both kept files real.
struct Fixture {
    test::TempFolder folder;
    std::shared_ptr<FakeDesktop> desktop = std::make_shared<FakeDesktop>();
    std::unique_ptr<AppModel> model;
    SharePicker picker;

    explicit Fixture(bool withResult = true) {
        const fs::path photos = folder.path() / "photos";
        fs::create_directories(photos);
        writeFile(photos / "a b.jpg", "exact keeper");
        writeFile(photos / "a b copy.jpg", "exact keeper");
        writeFile(photos / "é.jpg", "near keeper");
        writeFile(photos / "é2.jpg", "near other");
        ScanResult result;
        result.folder = photos;
        result.totalPhotos = 4;
        result.groups = {
            group(ScanResult::Kind::exact, {photos / "a b.jpg", photos / "a b copy.jpg"}),
            group(ScanResult::Kind::near, {photos / "é.jpg", photos / "é2.jpg"})};
        model = std::make_unique<AppModel>(
            [result](const fs::path&, const ProgressCallback&, std::stop_token) { return result; },
            desktop);
        if (withResult) {
            model->startScan(urlFromPath(photos));
            if (!QTest::qWaitFor([&] { return model->screen() != AppModel::Screen::scanning; }))
                qWarning("the scan did not finish");
        }
        picker.setAppModel(model.get());
    }

    static ScanResult::Group group(ScanResult::Kind kind, const std::vector<fs::path>& files) {
        ScanResult::Group g;
        g.kind = kind;
        g.id = std::string(kind == ScanResult::Kind::exact ? "exact:" : "near:") +
               files.front().filename().string();
        for (const auto& file : files) {
            PhotoRecord r;
            r.id = file.filename().string();
            r.fileURL = file;
            r.fileSizeBytes = std::int64_t(fs::file_size(file));
            g.members.push_back(r);
        }
        g.keeperId = g.autoKeeperId = g.members.front().id;
        return g;
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
        QCOMPARE(f.desktop->clipboard->urls(), f.picker.items());
        QVERIFY(f.desktop->clipboard->hasFormat("x-special/gnome-copied-files"));
        QCOMPARE(f.model->toastText(), L::picker::copied());
        QVERIFY(f.model->errorMessage().isEmpty());
    }

    void copyingTheResultPutsTheCardAndCaptionOnTheClipboard() {
        Fixture f;
        QVERIFY(f.picker.prepare());
        QCOMPARE(f.picker.items(),
                 QList<QUrl>{urlFromPath(ShareCard::directory() / ShareCard::fileName)});
        QVERIFY(f.picker.copyToClipboard());
        const auto image = qvariant_cast<QImage>(f.desktop->clipboard->imageData());
        QCOMPARE(image.size(), QSize(2400, 1260));
        QCOMPARE(f.desktop->clipboard->text(), ShareCard::caption(*f.model->result()));
    }

    void aClipboardThatKeepsNothingIsReported() {
        Fixture f;
        f.picker.setKind("keepers");
        QVERIFY(f.picker.prepare());
        f.desktop->clipboardWorks = false;
        auto sink = std::make_shared<log::CapturingSink>();
        log::setSink(sink);
        QVERIFY(!f.picker.copyToClipboard());
        log::setSink(nullptr);
        QCOMPARE(f.model->errorMessage(), L::picker::copyFailed());
        QVERIFY(!f.model->hasToast() || f.model->toastText() != L::picker::copied());
        const auto entries = sink->entries();
        QVERIFY(std::any_of(entries.begin(), entries.end(), [](const log::Entry& e) {
            return e.level == log::Level::error && e.category == log::Category::share;
        }));
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
        f.picker.setKind("keepers");
        QVERIFY(!f.picker.prepare());
        f.picker.setKind("result");
        QVERIFY(!f.picker.prepare());
        QVERIFY(f.model->errorMessage().isEmpty()); // no result is not a failure
        QVERIFY(!f.picker.copyToClipboard());
        QVERIFY(!f.desktop->clipboard);
    }

    void aCardThatCannotBeMadeIsReported() {
        Fixture f;
        f.model->setShareCardRenderer([](const ScanResult&) { return QImage(); });
        QVERIFY(!f.picker.prepare());
        QCOMPARE(f.model->errorMessage(), L::picker::cardFailed());
    }

    void savingNeverReplacesAndPicksAFreeName() {
        Fixture f;
        f.picker.setKind("keepers");
        QVERIFY(f.picker.prepare());
        const fs::path target = f.folder.path() / "target";
        fs::create_directories(target);
        writeFile(target / "a b.jpg", "theirs 1");
        writeFile(target / "a b 2.jpg", "theirs 2");
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

    void emailArgumentsAttachEveryFile() {
        const QList<QUrl> files = {urlFromPath("/photos/a b.jpg"), urlFromPath("/photos/é.jpg")};
        QCOMPARE(SharePicker::emailArguments(files, {}),
                 QStringList({"--attach", "/photos/a b.jpg", "--attach", "/photos/é.jpg"}));
        QCOMPARE(SharePicker::emailArguments(files.mid(0, 1), "Caption #Veltrano"),
                 QStringList({"--body", "Caption #Veltrano", "--attach", "/photos/a b.jpg"}));
    }

    void emailRunsTheMailProgramAndReportsItsFailure() {
        Fixture f;
        const fs::path argsFile = f.folder.path() / "args";
        const fs::path script = f.folder.path() / "fake-email";
        writeFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
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
