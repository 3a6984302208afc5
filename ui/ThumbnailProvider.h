#pragma once

#include <QCache>
#include <QImage>
#include <QMutex>
#include <QQuickAsyncImageProvider>
#include <QThreadPool>
#include <QUrl>
#include <filesystem>
#include <optional>

namespace quorlix {

// Thumbnails of photos for QML ("image://thumbnail/<id>"), decoded by the engine on a pool of
// worker threads, never on the thread that asks. A file that cannot be decoded gives an empty
// image, so the view keeps its placeholder. Decoded images are kept in a cache bounded by bytes,
// so scrolling through thousands of photos neither decodes each again nor grows without end.
class ThumbnailProvider : public QQuickAsyncImageProvider {
public:
    static constexpr const char* providerName = "thumbnail";
    static constexpr int cellPixels = 300;
    static constexpr int previewPixels = 2048;
    static constexpr qint64 defaultCacheBytes = 64 * 1024 * 1024;

    struct Request {
        std::filesystem::path file;
        int pixels = cellPixels;
    };

    explicit ThumbnailProvider(qint64 cacheBytes = defaultCacheBytes);
    ~ThumbnailProvider() override;

    QQuickImageResponse* requestImageResponse(const QString& id,
                                              const QSize& requestedSize) override;

    // The id names the file by its raw bytes, percent-encoded (names need not be UTF-8),
    // followed by "/" and the longest side in pixels.
    static QString idFor(const std::filesystem::path& file, int pixels);
    static QUrl sourceFor(const std::filesystem::path& file, int pixels);
    // Nothing for an id that names no absolute file.
    static std::optional<Request> parseId(const QString& id);

    // The longest side for a request: the larger side asked for by the view, else the id's,
    // within 1 and previewPixels.
    static int pixelsFor(const Request& request, const QSize& requestedSize);

    // The decoded image, from the cache or the engine; null when the file cannot be decoded.
    // Safe from any thread.
    QImage thumbnail(const std::filesystem::path& file, int pixels);

    qint64 cachedBytes() const;
    qint64 cacheLimit() const;
    QThreadPool* pool() { return &pool_; }

private:
    mutable QMutex cacheMutex_;
    QCache<QByteArray, QImage> cache_; // cost in bytes
    QThreadPool pool_;
};

} // namespace quorlix
