#include "app/DesktopServices.h"

#include "app/FileUrl.h"
#include "engine/core/Log.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMimeData>

namespace quorlix {

DesktopServices::~DesktopServices() = default;

bool DesktopServices::openUrl(const QUrl& url) {
    if (QDesktopServices::openUrl(url))
        return true;
    log::error(log::Category::ui, "Open URL failed: " + url.toString().toStdString());
    return false;
}

bool DesktopServices::revealFile(const std::filesystem::path& file) {
    return revealFiles({file});
}

bool DesktopServices::revealFiles(const std::vector<std::filesystem::path>& files) {
    if (files.empty())
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"),
            QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        QStringList uris;
        for (const auto& file : files)
            uris += QString::fromLatin1(urlFromPath(file).toEncoded());
        call << uris << QString();
        const QDBusMessage reply = bus.call(call, QDBus::Block, 3000);
        if (reply.type() == QDBusMessage::ReplyMessage)
            return true;
        log::error(log::Category::ui, "Reveal failed: " + reply.errorMessage().toStdString());
    }
    return openUrl(urlFromPath(files.front().parent_path()));
}

void DesktopServices::setClipboardText(const QString& text) {
    if (auto* clipboard = QGuiApplication::clipboard()) {
        clipboard->clear();
        clipboard->setText(text);
    }
}

bool DesktopServices::setClipboardData(QMimeData* data) {
    auto* clipboard = QGuiApplication::clipboard();
    if (!clipboard || !data) {
        delete data;
        return false;
    }
    const QStringList formats = data->formats();
    clipboard->setMimeData(data);
    // Without a clipboard service the data is dropped; what reads back is what was kept.
    const QMimeData* held = clipboard->mimeData();
    return held && !formats.isEmpty() && held->hasFormat(formats.front());
}

} // namespace quorlix
