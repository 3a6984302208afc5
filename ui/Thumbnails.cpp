#include "ui/Thumbnails.h"

#include "app/FileUrl.h"
#include "ui/ThumbnailProvider.h"

namespace quorlix {

int Thumbnails::cellPixels() {
    return ThumbnailProvider::cellPixels;
}

int Thumbnails::previewPixels() {
    return ThumbnailProvider::previewPixels;
}

QUrl Thumbnails::source(const QUrl& fileUrl, int pixels) {
    if (!fileUrl.isLocalFile() || pixels <= 0)
        return {};
    return ThumbnailProvider::sourceFor(pathFromUrl(fileUrl), pixels);
}

} // namespace quorlix
