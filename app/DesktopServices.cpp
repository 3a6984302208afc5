#include "app/DesktopServices.h"

#include "app/FileUrl.h"
#include "engine/Log.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QGuiApplication>

namespace quorlix {

DesktopServices::~DesktopServices() = default;

bool DesktopServices::openUrl(const QUrl& url) {
    if (QDesktopServices::openUrl(url))
        return true;
    log::error(log::Category::ui, "Open URL failed: " + url.toString().toStdString());
    return false;
}

bool DesktopServices::revealFile(const std::filesystem::path& file) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"),
            QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{QString::fromLatin1(urlFromPath(file).toEncoded())} << QString();
        const QDBusMessage reply = bus.call(call, QDBus::Block, 3000);
        if (reply.type() == QDBusMessage::ReplyMessage)
            return true;
        log::error(log::Category::ui, "Reveal failed: " + reply.errorMessage().toStdString());
    }
    return openUrl(urlFromPath(file.parent_path()));
}

void DesktopServices::setClipboardText(const QString& text) {
    if (auto* clipboard = QGuiApplication::clipboard()) {
        clipboard->clear();
        clipboard->setText(text);
    }
}

} // namespace quorlix
