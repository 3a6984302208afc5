#include "ui/ThumbnailProvider.h"

#include "engine/analysis/ImageDecoder.h"

#include <QMutexLocker>
#include <QQuickTextureFactory>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>

namespace quorlix {

namespace {

QByteArray rawBytes(const std::filesystem::path& file) {
    return QByteArray::fromStdString(file.native());
}

QImage toQImage(const ImageBuffer& buffer) {
    if (buffer.empty() || (buffer.channels != 1 && buffer.channels != 3))
        return {};
    const qsizetype stride = qsizetype(buffer.width) * buffer.channels;
    if (buffer.pixels.size() < std::size_t(stride) * std::size_t(buffer.height))
        return {};
    const auto format = buffer.channels == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB888;
    // The wrapper borrows the buffer; the copy owns its pixels.
    return QImage(buffer.pixels.data(), buffer.width, buffer.height, stride, format).copy();
}

class ThumbnailResponse;

// What a response and its worker share. The worker reports only while the response lives.
struct Job {
    QMutex mutex;
    ThumbnailResponse* response = nullptr;
    std::atomic<bool> cancelled{false};
};

class ThumbnailResponse : public QQuickImageResponse {
public:
    ThumbnailResponse() : job_(std::make_shared<Job>()) { job_->response = this; }
    ~ThumbnailResponse() override {
        QMutexLocker lock(&job_->mutex);
        job_->response = nullptr;
    }

    QQuickTextureFactory* textureFactory() const override {
        return QQuickTextureFactory::textureFactoryForImage(image_);
    }
    // A view that scrolled past no longer needs the picture; a queued job then skips decoding.
    void cancel() override { job_->cancelled = true; }

    std::shared_ptr<Job> job() const { return job_; }

    // Called by the worker under the job's lock. The signal is sent from the response's own
    // thread, which is busy asking until the engine has connected to it, so it is never missed;
    // a response deleted meanwhile takes the pending call with it.
    void deliver(QImage image) {
        image_ = std::move(image);
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT finished(); }, Qt::QueuedConnection);
    }

private:
    std::shared_ptr<Job> job_;
    QImage image_;
};

} // namespace

ThumbnailProvider::ThumbnailProvider(qint64 cacheBytes) {
    cache_.setMaxCost(std::max<qint64>(cacheBytes, 0));
    // Leave a core to the window: decoding full-size photos is heavy.
    pool_.setMaxThreadCount(std::clamp(QThread::idealThreadCount() - 1, 1, 4));
}

ThumbnailProvider::~ThumbnailProvider() {
    // Queued jobs would decode for a view that is gone; running ones still use the cache.
    pool_.clear();
    pool_.waitForDone();
}

QQuickImageResponse* ThumbnailProvider::requestImageResponse(const QString& id,
                                                             const QSize& requestedSize) {
    auto* response = new ThumbnailResponse;
    const auto request = parseId(id);
    const int pixels = request ? pixelsFor(*request, requestedSize) : 0;
    pool_.start([this, job = response->job(),
                 file = request ? request->file : std::filesystem::path(), pixels] {
        QImage image;
        if (!job->cancelled && !file.empty())
            image = thumbnail(file, pixels);
        QMutexLocker lock(&job->mutex);
        if (job->response)
            job->response->deliver(std::move(image));
    });
    return response;
}

QString ThumbnailProvider::idFor(const std::filesystem::path& file, int pixels) {
    // Every byte outside the unreserved set is encoded, "/" included, so the last "/" of the
    // id always separates the size and a URL never reinterprets "#", "?" or "%".
    return QString::fromLatin1(rawBytes(file).toPercentEncoding()) + QLatin1Char('/') +
           QString::number(pixels);
}

QUrl ThumbnailProvider::sourceFor(const std::filesystem::path& file, int pixels) {
    return QUrl(QStringLiteral("image://") + QLatin1String(providerName) + QLatin1Char('/') +
                idFor(file, pixels));
}

std::optional<ThumbnailProvider::Request> ThumbnailProvider::parseId(const QString& id) {
    Request request;
    QString encoded = id;
    const qsizetype slash = id.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0) {
        bool ok = false;
        const int pixels = id.mid(slash + 1).toInt(&ok);
        if (!ok || pixels <= 0)
            return std::nullopt;
        request.pixels = pixels;
        encoded = id.left(slash);
    }
    // The engine may hand the id back partly decoded (it decodes valid UTF-8 sequences but
    // never "%25" or "%2F"); decoding the UTF-8 form once more gives the same bytes either way.
    const QByteArray bytes = QByteArray::fromPercentEncoding(encoded.toUtf8());
    if (bytes.isEmpty() || bytes.front() != '/' || bytes.contains('\0'))
        return std::nullopt;
    request.file = std::filesystem::path(bytes.toStdString());
    return request;
}

int ThumbnailProvider::pixelsFor(const Request& request, const QSize& requestedSize) {
    const int asked = std::max(requestedSize.width(), requestedSize.height());
    return std::clamp(asked > 0 ? asked : request.pixels, 1, previewPixels);
}

QImage ThumbnailProvider::thumbnail(const std::filesystem::path& file, int pixels) {
    QByteArray key = rawBytes(file);
    key += '\0' + QByteArray::number(pixels);
    {
        QMutexLocker lock(&cacheMutex_);
        if (const QImage* cached = cache_.object(key))
            return *cached;
    }
    ImageDecoder::ensureInitialised();
    const auto buffer = ImageDecoder::thumbnail(file, pixels);
    QImage image = buffer ? toQImage(*buffer) : QImage();
    if (!image.isNull()) {
        QMutexLocker lock(&cacheMutex_);
        // QCache refuses (and frees) an image costlier than the whole cache.
        cache_.insert(key, new QImage(image), qsizetype(image.sizeInBytes()));
    }
    return image;
}

qint64 ThumbnailProvider::cachedBytes() const {
    QMutexLocker lock(&cacheMutex_);
    return cache_.totalCost();
}

qint64 ThumbnailProvider::cacheLimit() const {
    QMutexLocker lock(&cacheMutex_);
    return cache_.maxCost();
}

} // namespace quorlix
