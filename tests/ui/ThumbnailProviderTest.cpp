#include "ui/ThumbnailProvider.h"

#include "TempFolder.h"
#include "app/FileUrl.h"
#include "ui/Thumbnails.h"

#include <QBuffer>
#include <QImage>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickTextureFactory>
#include <QSemaphore>
#include <QTest>
#include <memory>

using namespace quorlix;

namespace {

std::string encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toStdString();
}

QImage picture(int width, int height, int seed) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x + seed) % 256, (y * 3 + seed) % 256, (x ^ y) % 256));
    return image;
}

// What QML's pixmap loader hands a provider for a source URL.
QString idAsTheEngineSeesIt(const QUrl& source) {
    return source.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority).mid(1);
}

struct Answer {
    QImage image;
    bool finished = false;
};

// Asks like the engine does and waits for the answer.
Answer request(ThumbnailProvider& provider, const QString& id, QSize size = {}) {
    std::unique_ptr<QQuickImageResponse> response(provider.requestImageResponse(id, size));
    bool done = false;
    QObject::connect(response.get(), &QQuickImageResponse::finished, [&done] { done = true; });
    if (!QTest::qWaitFor([&] { return done; }, 20000))
        return {};
    std::unique_ptr<QQuickTextureFactory> factory(response->textureFactory());
    return {factory ? factory->image() : QImage(), true};
}

} // namespace

class ThumbnailProviderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void idsRoundTripAnyFileName() {
        const std::string names[] = {"/photos/plain.jpg", "/photos/with space/#1 ?x=2 %41 100%.jpg",
                                     "/photos/caf\xc3\xa9/\xe5\x86\x99\xe7\x9c\x9f.heic",
                                     "/photos/latin1-\xe9t\xe9/\xff\xfe raw.png",
                                     "/photos/ends/in/123"};
        for (const auto& name : names) {
            for (int pixels : {ThumbnailProvider::cellPixels, ThumbnailProvider::previewPixels}) {
                const QUrl source = ThumbnailProvider::sourceFor(name, pixels);
                QVERIFY(source.isValid());
                const auto back = ThumbnailProvider::parseId(idAsTheEngineSeesIt(source));
                QVERIFY2(back.has_value(), name.c_str());
                QCOMPARE(back->file.native(), name);
                QCOMPARE(back->pixels, pixels);
            }
        }
        for (const char* bad :
             {"", "/300", "relative%2Fname/300", "%2Fa/zero", "%2Fa/0", "%2Fa%00b/300"})
            QVERIFY2(!ThumbnailProvider::parseId(QString::fromLatin1(bad)), bad);
        // From QML, by the photo's file URL.
        const std::string odd = "/photos/\xff odd #1.jpg";
        QCOMPARE(Thumbnails::source(urlFromPath(odd), 300), ThumbnailProvider::sourceFor(odd, 300));
        QVERIFY(
            Thumbnails::source(QUrl(QStringLiteral("https://example.com/a.jpg")), 300).isEmpty());
        // The view's own size wins over the id's, within bounds.
        const ThumbnailProvider::Request r{"/a", 300};
        QCOMPARE(ThumbnailProvider::pixelsFor(r, {}), 300);
        QCOMPARE(ThumbnailProvider::pixelsFor(r, {120, 80}), 120);
        QCOMPARE(ThumbnailProvider::pixelsFor(r, {100000, 1}), ThumbnailProvider::previewPixels);
    }

    void decodesOnWorkersAtTheAskedSize() {
        test::TempFolder folder;
        const auto file =
            folder.write("\xff\xfe odd name #1.jpg", encoded(picture(600, 400, 1), "JPG"));
        ThumbnailProvider provider;

        // With every worker held, the request still returns at once and nothing is decoded
        // until a worker is free: the asking thread never decodes.
        provider.pool()->setMaxThreadCount(1);
        QSemaphore hold;
        provider.pool()->start([&hold] { hold.acquire(); });
        std::unique_ptr<QQuickImageResponse> waiting(
            provider.requestImageResponse(ThumbnailProvider::idFor(file, 300), {}));
        bool done = false;
        QObject::connect(waiting.get(), &QQuickImageResponse::finished, [&done] { done = true; });
        QTest::qWait(50);
        QVERIFY(!done);
        hold.release();
        QTRY_VERIFY_WITH_TIMEOUT(done, 20000);
        std::unique_ptr<QQuickTextureFactory> factory(waiting->textureFactory());
        QVERIFY(factory);
        QCOMPARE(factory->image().size(), QSize(300, 200));

        const Answer large = request(provider, ThumbnailProvider::idFor(file, 2048));
        QCOMPARE(large.image.size(), QSize(600, 400)); // never enlarged

        const Answer asked = request(provider, ThumbnailProvider::idFor(file, 300), {150, 150});
        QCOMPARE(asked.image.size(), QSize(150, 100));
    }

    void undecodableFilesGiveAnEmptyImage() {
        test::TempFolder folder;
        const auto junk = folder.write("junk.jpg", "not an image at all");
        const auto truncated =
            folder.write("cut.png", encoded(picture(100, 80, 2), "PNG").substr(0, 60));
        ThumbnailProvider provider;
        for (const QString& id :
             {ThumbnailProvider::idFor(junk, 300), ThumbnailProvider::idFor(truncated, 300),
              ThumbnailProvider::idFor(folder.path() / "missing.jpg", 300),
              QStringLiteral("nonsense")}) {
            const Answer answer = request(provider, id);
            QVERIFY(answer.finished && answer.image.isNull());
        }
        QCOMPARE(provider.cachedBytes(), 0);
    }

    void cancelledRequestsStillFinish() {
        test::TempFolder folder;
        const auto file = folder.write("a.png", encoded(picture(160, 120, 3), "PNG"));
        ThumbnailProvider provider;
        std::vector<std::unique_ptr<QQuickImageResponse>> responses;
        int finished = 0;
        for (int i = 0; i < 16; ++i) {
            responses.emplace_back(
                provider.requestImageResponse(ThumbnailProvider::idFor(file, 100 + i), {}));
            QObject::connect(responses.back().get(), &QQuickImageResponse::finished,
                             [&finished] { ++finished; });
            responses.back()->cancel();
        }
        QTRY_COMPARE_WITH_TIMEOUT(finished, 16, 20000);
        // A response deleted before its worker answers is simply not told.
        delete provider.requestImageResponse(ThumbnailProvider::idFor(file, 64), {});
        provider.pool()->waitForDone();
        QCoreApplication::processEvents();
    }

    void qmlImagesLoadThroughTheProvider() {
        test::TempFolder folder;
        const auto good =
            folder.write("caf\xc3\xa9 \xff 50% #2.jpg", encoded(picture(450, 300, 4), "JPG"));
        const auto bad = folder.write("broken.jpg", "no picture here");
        QQmlEngine engine;
        engine.addImportPath(QStringLiteral("qrc:/"));
        engine.addImageProvider(QLatin1String(ThumbnailProvider::providerName),
                                new ThumbnailProvider);
        QQmlComponent component(&engine);
        component.setData("import QtQuick\nImage { asynchronous: true }", QUrl());
        for (const auto& file : {good, bad}) {
            std::unique_ptr<QObject> image(component.create());
            QVERIFY2(image, qPrintable(component.errorString()));
            image->setProperty("source", ThumbnailProvider::sourceFor(file, 300));
            // Ready either way: an undecodable file is an empty picture, not an error.
            QTRY_COMPARE_WITH_TIMEOUT(image->property("status").toInt(), 1, 20000); // Image.Ready
            const QSizeF size(image->property("implicitWidth").toReal(),
                              image->property("implicitHeight").toReal());
            QCOMPARE(size, file == good ? QSizeF(300, 200) : QSizeF(0, 0));
        }
    }

    void cacheStaysWithinItsBound() {
        test::TempFolder folder;
        constexpr qint64 limit = 1024 * 1024;
        ThumbnailProvider provider(limit);
        QCOMPARE(provider.cacheLimit(), limit);
        std::vector<std::filesystem::path> files;
        for (int i = 0; i < 12; ++i)
            files.push_back(folder.write("p" + std::to_string(i) + ".png",
                                         encoded(picture(600, 400, i), "PNG")));
        for (const auto& file : files) {
            QVERIFY(!provider.thumbnail(file, 300).isNull());
            QVERIFY(provider.cachedBytes() <= limit);
        }
        QVERIFY(provider.cachedBytes() > limit / 2);
        // The latest one is served from the cache: the very same pixels, not a new decode.
        QCOMPARE(provider.thumbnail(files.back(), 300).cacheKey(),
                 provider.thumbnail(files.back(), 300).cacheKey());
        // An image larger than the whole cache is returned but not kept.
        ThumbnailProvider tiny(1000);
        QVERIFY(!tiny.thumbnail(files.front(), 300).isNull());
        QCOMPARE(tiny.cachedBytes(), 0);
    }
};

int runThumbnailProviderTest(int argc, char** argv) {
    ThumbnailProviderTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ThumbnailProviderTest.moc"
