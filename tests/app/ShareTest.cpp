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

    void shareResultWritesTheCardAndCopiesTheCaption() {
        // In the temporary folder, which the tests keep in their own home.
        QVERIFY(QByteArray::fromStdString(ShareCard::directory().native())
                    .startsWith(test::isolatedHome() + "/"));
        auto desktop = std::make_shared<test::RecordingDesktop>();
        auto model = test::modelWithResult(resultWith(13, 40), desktop);
        test::LogCapture logs;
        const QList<QUrl> items = model->shareResultItems();
        const fs::path card = ShareCard::directory() / "veltrano-duplicates.png";
        QCOMPARE(items, QList<QUrl>{urlFromPath(card)});
        // Without the window's painter, the stand-in card, at the card's size.
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
        QCOMPARE(std::distance(fs::directory_iterator(ShareCard::directory()), {}), 1);
        const QImage image(items[0].toLocalFile());
        QCOMPARE(image.pixelColor(10, 10), QColor(Qt::blue));
    }

    // A card that paints nothing is checked through the share picker.
    void aCardThatCannotBeWrittenYieldsNothing() {
        auto desktop = std::make_shared<test::RecordingDesktop>();
        auto model = test::modelWithResult(resultWith(2, 2), desktop);
        test::LogCapture logs;
        // The card's folder cannot be made: the write fails, is logged, and yields nothing.
        test::TempFolder scratch;
        fs::create_directories(ShareCard::directory().parent_path());
        fs::copy_file(scratch.write("blocker", "x"), ShareCard::directory());
        QVERIFY(model->shareResultItems().isEmpty());
        QVERIFY(desktop->clipboard.isNull());
        QVERIFY(!model->toast());
        bool logged = false;
        for (const auto& message : logs.messages())
            logged |= message.starts_with("Share card write failed: ");
        QVERIFY(logged);
        fs::remove(ShareCard::directory());
    }
};

QUORLIX_TEST_MAIN(ShareTest)
#include "ShareTest.moc"
