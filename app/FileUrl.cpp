#include "app/FileUrl.h"

#include <QByteArray>

namespace quorlix {

std::filesystem::path pathFromUrl(const QUrl& url) {
    if (!url.isLocalFile())
        return {};
    const QByteArray raw = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return std::filesystem::path(raw.toStdString());
}

QUrl urlFromPath(const std::filesystem::path& path) {
    const QByteArray raw = QByteArray::fromStdString(path.native());
    return QUrl::fromEncoded("file://" + raw.toPercentEncoding("/"), QUrl::StrictMode);
}

} // namespace quorlix
