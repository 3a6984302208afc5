#pragma once

#include <QObject>
#include <QUrl>
#include <QtQml/qqml.h>

namespace quorlix {

// Image sources of the thumbnail provider for QML, from a photo's file URL:
// `Thumbnails.source(url, Thumbnails.cellPixels)`.
class Thumbnails : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(int cellPixels READ cellPixels CONSTANT)
    Q_PROPERTY(int previewPixels READ previewPixels CONSTANT)

public:
    using QObject::QObject;

    static int cellPixels();
    static int previewPixels();
    // An empty URL for anything but a local file.
    Q_INVOKABLE static QUrl source(const QUrl& fileUrl, int pixels);
};

} // namespace quorlix
