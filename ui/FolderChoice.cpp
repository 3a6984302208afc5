#include "ui/FolderChoice.h"

#include "app/AppModel.h"
#include "engine/core/Log.h"
#include "ui/AppModelForeign.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QUuid>
#include <QVariantMap>
#include <QWindow>
#include <type_traits>

namespace quorlix {

namespace {

constexpr auto portalService = "org.freedesktop.portal.Desktop";
constexpr auto portalPath = "/org/freedesktop/portal/desktop";

bool isFolder(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace

QUrl FolderChoice::startFolder(const QString& lastFolder) {
    if (isFolder(lastFolder))
        return QUrl::fromLocalFile(QDir::cleanPath(lastFolder));
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    // Without an XDG entry Qt answers ~/Pictures even when it does not exist.
    if (isFolder(pictures))
        return QUrl::fromLocalFile(pictures);
    return QUrl::fromLocalFile(QDir::homePath());
}

static_assert(!std::is_default_constructible_v<FolderChoice>,
              "QML prefers a default constructor to create()");

FolderChoice::FolderChoice(AppModel* model, QObject* parent) : QObject(parent), model_(model) {}

FolderChoice::~FolderChoice() = default;

FolderChoice* FolderChoice::create(QQmlEngine* qmlEngine, QJSEngine*) {
    return new FolderChoice(AppModelForeign::of(qmlEngine));
}

QUrl FolderChoice::startFolder() const {
    const AppModel* model = model_;
    const auto& last = model ? model->config().lastFolderBookmark : std::nullopt;
    return startFolder(last ? QString::fromUtf8(*last) : QString());
}

void FolderChoice::remember(const QUrl& folder) {
    AppModel* model = model_;
    if (!model || !folder.isLocalFile())
        return;
    // On Linux a folder needs no grant: its path is all the bookmark there is.
    QuorlixConfig config = model->config();
    config.lastFolderBookmark = folder.toLocalFile().toUtf8();
    if (!(config == model->config()))
        model->setConfig(config);
}

QUrl FolderChoice::resolve(const QString& typed, const QUrl& base) {
    QString path = typed.trimmed();
    if (path.startsWith(QLatin1String("file:")))
        path = QUrl(path).toLocalFile();
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    if (path.isEmpty())
        return {};
    if (QDir::isRelativePath(path))
        path = QDir(base.toLocalFile()).filePath(path);
    path = QDir::cleanPath(path);
    return isFolder(path) ? QUrl::fromLocalFile(path) : QUrl();
}

QUrl FolderChoice::parentFolder(const QUrl& folder) {
    QDir dir(folder.toLocalFile());
    if (!dir.cdUp())
        return folder;
    return QUrl::fromLocalFile(dir.absolutePath());
}

QUrl FolderChoice::createFolder(const QUrl& parent, const QString& name) {
    const QString plain = name.trimmed();
    if (plain.isEmpty() || plain == QLatin1String(".") || plain == QLatin1String("..") ||
        plain.contains(u'/'))
        return {};
    QDir dir(parent.toLocalFile());
    // An existing entry is never taken over: the user asked for a new folder.
    if (!dir.exists() || dir.exists(plain) || !dir.mkdir(plain)) {
        log::error(log::Category::app, "Could not make a folder in " + dir.path().toStdString());
        return {};
    }
    return QUrl::fromLocalFile(dir.filePath(plain));
}

bool FolderChoice::openPortal(const QString& title, const QString& acceptLabel, const QUrl& start,
                              const QString& purpose, QWindow* parent) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // The answer comes on a request object whose path follows from our bus name and a token;
    // subscribe before asking so it cannot arrive first.
    const QString token =
        QStringLiteral("quorlix") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    QString sender = bus.baseService().mid(1);
    sender.replace(u'.', u'_');
    const QString handle =
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    if (!pendingHandle_.isEmpty())
        bus.disconnect(QLatin1String(portalService), pendingHandle_,
                       QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"),
                       this, SLOT(portalResponse(uint, QVariantMap)));
    bus.connect(QLatin1String(portalService), handle,
                QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"), this,
                SLOT(portalResponse(uint, QVariantMap)));

    QVariantMap options;
    options.insert(QStringLiteral("handle_token"), token);
    options.insert(QStringLiteral("directory"), true);
    options.insert(QStringLiteral("modal"), true);
    options.insert(QStringLiteral("accept_label"), acceptLabel);
    if (start.isLocalFile())
        options.insert(QStringLiteral("current_folder"),
                       QFile::encodeName(start.toLocalFile()) + '\0');
    QString parentId;
    if (parent && QGuiApplication::platformName() == QLatin1String("xcb"))
        parentId = QStringLiteral("x11:") + QString::number(parent->winId(), 16);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(portalService), QLatin1String(portalPath),
        QStringLiteral("org.freedesktop.portal.FileChooser"), QStringLiteral("OpenFile"));
    call << parentId << title << options;
    // Short: a desktop without the portal should not keep the click waiting.
    const QDBusMessage reply = bus.call(call, QDBus::Block, 2500);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        bus.disconnect(QLatin1String(portalService), handle,
                       QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"),
                       this, SLOT(portalResponse(uint, QVariantMap)));
        log::info(log::Category::app,
                  "No desktop folder chooser: " + reply.errorMessage().toStdString());
        return false;
    }
    pendingHandle_ = handle;
    pendingPurpose_ = purpose;
    return true;
}

void FolderChoice::portalResponse(uint response, const QVariantMap& results) {
    pendingHandle_.clear();
    // 0 is a choice; 1 the user cancelled; 2 the chooser failed.
    if (response != 0)
        return;
    const QStringList uris = results.value(QStringLiteral("uris")).toStringList();
    if (uris.isEmpty())
        return;
    const QUrl folder(uris.front());
    if (folder.isLocalFile())
        Q_EMIT portalChosen(folder, pendingPurpose_);
}

} // namespace quorlix
