#include "app/FileUrl.h"

#include <QByteArray>
#include <QFile>

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

QString textFromPath(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

std::filesystem::path pathFromText(const QString& text) {
    return std::filesystem::path(QFile::encodeName(text).toStdString());
}

} // namespace quorlix
