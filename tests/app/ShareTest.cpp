#include "TempFolder.h"
#include "TestEnvironment.h"
#include "app/AppModel.h"
#include "app/ByteCountFormat.h"
#include "app/FileUrl.h"
#include "app/ShareCard.h"

#include <QGuiApplication>
#include <QImage>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using namespace quorlix;
namespace fs = std::filesystem;

namespace {

// An exact group of `members` files of one megabyte each, the first one kept.
ScanResult resultWith(int members, std::int64_t totalPhotos) {
    ScanResult result;
    result.folder = "/photos";
    result.totalPhotos = totalPhotos;
    std::vector<PhotoRecord> records;
    for (int i = 0; i < members; ++i) {
        PhotoRecord record;
        record.id = "id" + std::to_string(i);
        record.fileURL = "/photos/p" + std::to_string(i) + ".jpg";
        record.fileSizeBytes = 1'000'000;
        records.push_back(record);
    }
    result.groups.push_back(test::groupOf(ScanResult::Kind::exact, "exact:0", records));
    return result;
}

QImage solid(QColor colour, QSize size = {ShareCard::widthPoints * ShareCard::scale,
                                          ShareCard::heightPoints* ShareCard::scale}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

class ShareTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() {
        std::error_code ec;
        fs::remove_all(ShareCard::directory(), ec);
    }

    void cardGoesToTheTemporaryFolder() {
        QVERIFY(QByteArray::fromStdString(ShareCard::directory().native())
                    .startsWith(test::isolatedHome() + "/"));
        QCOMPARE(ShareCard::directory().filename().native(), std::string("quorlix-share"));
    }

    void shareResultWritesTheCardAndCopiesTheCaption() {
        auto desktop = std::make_shared<test::RecordingDesktop>();
        auto model = test::modelWithResult(resultWith(13, 40), desktop);
        test::LogCapture logs;
        const QList<QUrl> items = model->shareResultItems();
        const fs::path card = ShareCard::directory() / "veltrano-duplicates.png";
        QCOMPARE(items, QList<QUrl>{urlFromPath(card)});
        const QImage image(QString::fromStdString(card.native()));
        QCOMPARE(image.size(), QSize(2400, 1260));
        QCOMPARE(desktop->clipboard,
                 QString("Just found 12 duplicate photos (12 MB!) in seconds. I'm "
                         "smart, I use Veltrano ;-) #Veltrano https://veltrano.app/"
                         "?utm_source=quorlix&utm_medium=app&utm_campaign=share"));
        QCOMPARE(desktop->clipboard, ShareCard::caption(*model->result()));
        QCOMPARE(model->toastText(), QString("Caption copied to clipboard"));
        QVERIFY(!model->toastUndoable());
        QVERIFY(logs.contains("share_opened"));
        QVERIFY(logs.contains("Share card rendered: " + std::to_string(fs::file_size(card) / 1024) +
                              " KB"));
    }

    void sharingTwiceLeavesTheSecondCard() {
        auto model = test::modelWithResult(resultWith(2, 2));
        QColor colour = Qt::red;
        model->setShareCardRenderer([&](const ScanResult&) { return solid(colour); });
        model->shareResultItems();
        colour = Qt::blue;
        const QList<QUrl> items = model->shareResultItems();
        QCOMPARE(items.size(), 1);
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(ShareCard::directory()))
            names.push_back(entry.path().filename().native());
        QCOMPARE(names, std::vector<std::string>{"veltrano-duplicates.png"});
        const QImage image(items[0].toLocalFile());
        QCOMPARE(image.pixelColor(10, 10), QColor(Qt::blue));
    }

    void noCardNoCaption() {
        auto desktop = std::make_shared<test::RecordingDesktop>();
        auto model = test::modelWithResult(resultWith(2, 2), desktop);
        model->setShareCardRenderer([](const ScanResult&) { return QImage(); });
        test::LogCapture logs;
        QVERIFY(model->shareResultItems().isEmpty());
        QVERIFY(desktop->clipboard.isNull());
        QVERIFY(!model->toast());
        QVERIFY(logs.messages().empty());

        // The card's folder cannot be made: the write fails, is logged, and yields nothing.
        model->setShareCardRenderer({});
        test::TempFolder scratch;
        fs::create_directories(ShareCard::directory().parent_path());
        fs::copy_file(scratch.write("blocker", "x"), ShareCard::directory());
        QVERIFY(model->shareResultItems().isEmpty());
        QVERIFY(desktop->clipboard.isNull());
        bool logged = false;
        for (const auto& message : logs.messages())
            logged |= message.starts_with("Share card write failed: ");
        QVERIFY(logged);
        fs::remove(ShareCard::directory());
    }

    void shareWithoutResult() {
        AppModel model(nullptr, std::make_shared<test::RecordingDesktop>());
        test::LogCapture logs;
        QVERIFY(model.shareResultItems().isEmpty());
        QVERIFY(model.shareKeepersItems().isEmpty());
        QVERIFY(logs.contains("share_keepers n=0"));
        QVERIFY(!fs::exists(ShareCard::directory()));
    }

    void shareKeepers() {
        auto model = test::modelWithResult(resultWith(3, 3));
        test::LogCapture logs;
        QCOMPARE(model->shareKeepersItems(), QList<QUrl>{QUrl::fromLocalFile("/photos/p0.jpg")});
        QVERIFY(logs.contains("share_keepers n=1"));
    }

    void standInCardShowsTheNumbers() {
        const QImage card = ShareCard::paintStandIn(resultWith(3, 9));
        QCOMPARE(card.size(), QSize(2400, 1260));
        QVERIFY(card.pixelColor(4, 4) != card.pixelColor(4, 1250)); // the gradient
    }
};

QUORLIX_TEST_MAIN(ShareTest)
#include "ShareTest.moc"
