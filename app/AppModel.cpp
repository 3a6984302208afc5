#include "app/AppModel.h"

#include "app/ByteCountFormat.h"
#include "app/FileUrl.h"
#include "app/L.h"
#include "engine/core/AnalysisCache.h"
#include "engine/core/Log.h"
#include "engine/core/QuorlixFeature.h"

#include <QFileInfo>
#include <QMetaObject>
#include <limits>

namespace quorlix {

AppModel::AppModel(QObject* parent) : AppModel(nullptr, nullptr, parent) {}

AppModel::AppModel(ScanFunction scan, std::shared_ptr<DesktopServices> desktop, QObject* parent)
    : QObject(parent), config_(QuorlixConfig::load()),
      desktop_(desktop ? std::move(desktop) : std::make_shared<DesktopServices>()),
      session_(std::move(scan)), moves_(session_, notices_) {
    connect(&session_, &ScanSession::progressChanged, this, &AppModel::progressChanged);
    connect(&session_, &ScanSession::resultChanged, this, [this] {
        Q_EMIT resultChanged();
        Q_EMIT analysisCacheChanged(); // a scan that finished has written to it
    });
    connect(&session_, &ScanSession::succeeded, this, &AppModel::scanSucceeded);
    connect(&session_, &ScanSession::cancelled, this, [this] { setScreen(Screen::empty); });
    connect(&session_, &ScanSession::failed, this, [this] {
        setErrorMessage(L::error::folderUnreadable());
        setScreen(Screen::empty);
    });
    connect(&notices_, &Notices::errorMessageChanged, this, &AppModel::errorMessageChanged);
    connect(&notices_, &Notices::toastChanged, this, &AppModel::toastChanged);
    connect(&moves_, &MoveController::pendingMoveChanged, this, &AppModel::pendingMoveChanged);
    connect(&moves_, &MoveController::lastMoveChanged, this, &AppModel::lastMoveChanged);
    connect(&moves_, &MoveController::progressChanged, this, &AppModel::moveProgressChanged);
}

AppModel::~AppModel() = default;

void AppModel::setScreen(Screen screen) {
    screen_ = screen;
    Q_EMIT screenChanged();
}

void AppModel::setFolder(const QUrl& folder) {
    folder_ = folder;
    Q_EMIT folderChanged();
}

bool AppModel::progressDeterminate() const {
    return ScanSession::determinate(session_.phase(), progressTotal());
}

QString AppModel::folderName() const {
    if (folder_.isEmpty())
        return {};
    const auto path = pathFromUrl(folder_);
    const auto name = path.has_filename() ? path.filename() : path.parent_path().filename();
    return textFromPath(name);
}

qint64 AppModel::analysisCacheBytes() const {
    return AnalysisCache::sizeOnDisk(AnalysisCache::defaultPath());
}

QString AppModel::analysisCacheText() const {
    return L::prefs::cacheSize(formatByteCount(std::int64_t(analysisCacheBytes())));
}

void AppModel::forgetCachedAnalyses() {
    const auto path = AnalysisCache::defaultPath();
    if (!AnalysisCache::forget(path)) {
        log::error(log::Category::app, "Cannot remove the analysis cache " + path.native());
        notices_.showToast(L::prefs::forgetCacheFailed(), false);
    }
    Q_EMIT analysisCacheChanged();
}

void AppModel::setConfig(const QuorlixConfig& config) {
    config_ = config;
    config_.save();
    Q_EMIT configChanged();
}

void AppModel::setQuickLook(const std::optional<PhotoRecord>& photo) {
    quickLook_ = photo;
    Q_EMIT quickLookChanged();
}

namespace {

std::optional<PhotoRecord> findPhoto(const std::optional<ScanResult>& result,
                                     const std::string& id) {
    if (result)
        for (const auto& group : result->groups)
            for (const auto& member : group.members)
                if (member.id == id)
                    return member;
    return std::nullopt;
}

} // namespace

QUrl AppModel::quickLookUrl() const {
    return quickLook_ ? urlFromPath(quickLook_->fileURL) : QUrl();
}

void AppModel::openQuickLook(const QString& photoId) {
    if (auto photo = findPhoto(result(), photoId.toStdString()))
        setQuickLook(photo);
}

void AppModel::revealPhoto(const QString& photoId) {
    if (auto photo = findPhoto(result(), photoId.toStdString()))
        revealInFileManager(*photo);
}

QList<QUrl> AppModel::keptPhotoURLs() const {
    QList<QUrl> urls;
    if (!result())
        return urls;
    for (const auto& group : result()->groups)
        if (const auto keeper = group.keeper())
            urls.append(urlFromPath(keeper->fileURL));
    return urls;
}

void AppModel::chooseFolder() {
    const FolderPanel panel{L::empty::chooseFolder(), {}, false};
    if (!folderPicker_) {
        Q_EMIT folderPanelRequested(panel.prompt, panel.message, false);
        return;
    }
    if (const auto url = folderPicker_(panel); url && !url->isEmpty())
        startScan(*url);
}

bool AppModel::handleDrop(const QList<QUrl>& urls) {
    if (urls.isEmpty())
        return false;
    const QUrl url = urls.front();
    // Accepted at once; the scan starts on the next turn of the loop, as after an
    // asynchronous load of the dropped item.
    QMetaObject::invokeMethod(
        this,
        [this, url] {
            if (!url.isLocalFile())
                return;
            const auto path = pathFromUrl(url);
            std::error_code ec;
            if (std::filesystem::is_directory(path, ec)) {
                startScan(url);
                return;
            }
            auto trimmed = path;
            while (!trimmed.has_filename() && trimmed.has_relative_path())
                trimmed = trimmed.parent_path();
            startScan(urlFromPath(trimmed.parent_path()));
        },
        Qt::QueuedConnection);
    return true;
}

void AppModel::chooseMoveFolder() {
    if (moves_.busy())
        return;
    const FolderPanel panel{L::move::choosePrompt(), L::move::chooseMessage(), true};
    if (!folderPicker_) {
        Q_EMIT folderPanelRequested(panel.prompt, panel.message, true);
        return;
    }
    if (const auto url = folderPicker_(panel); url && !url->isEmpty())
        requestMove(MoveDestination::toFolder(*url));
}

void AppModel::startScan(const QUrl& folderUrl) {
    // The moved files of a running move must be known before the result goes.
    moves_.completeNow();
    session_.cancel();
    setFolder(folderUrl);
    setResult(std::nullopt);
    moves_.setLastMove(std::nullopt);
    // A confirmation asked about the old result must not reappear over the new one.
    setPendingMove(std::nullopt);
    log::info(log::Category::funnel, "scan_started");
    session_.start(pathFromUrl(folderUrl));
    setScreen(Screen::scanning);
}

void AppModel::cancelScan() {
    session_.cancel();
}

void AppModel::newScan() {
    moves_.completeNow();
    session_.cancel();
    setResult(std::nullopt);
    setFolder(QUrl());
    moves_.setLastMove(std::nullopt);
    setPendingMove(std::nullopt);
    setScreen(Screen::empty);
}

void AppModel::scanSucceeded() {
    QuorlixConfig next = config_;
    if (next.completedScans < std::numeric_limits<std::int64_t>::max())
        ++next.completedScans;
    setConfig(next);
    const ScanResult& r = *result();
    setScreen(r.groups.empty() ? Screen::results : Screen::splash);
    log::info(log::Category::funnel, "scan_completed dup=" + std::to_string(r.duplicateCount()));
}

namespace {

const ScanResult::Group* findGroup(const ScanResult& result, const std::string& id) {
    for (const auto& group : result.groups)
        if (group.id == id)
            return &group;
    return nullptr;
}

} // namespace

void AppModel::setKeeper(const QString& groupId, const QString& photoId) {
    // A running move works on the groups as they were; it replaces the result when done.
    if (moves_.busy() || !result() || !findGroup(*result(), groupId.toStdString()))
        return;
    ScanResult edited = *result();
    for (auto& group : edited.groups)
        if (group.id == groupId.toStdString()) {
            group.keeperId = photoId.toStdString();
            break;
        }
    setResult(std::move(edited));
}

void AppModel::resetKeeper(const QString& groupId) {
    if (!result())
        return;
    if (const auto* group = findGroup(*result(), groupId.toStdString()))
        setKeeper(groupId, QString::fromStdString(group->autoKeeperId));
}

void AppModel::revealInFileManager(const PhotoRecord& photo) {
    desktop_->revealFile(photo.fileURL);
}

void AppModel::openAppStore(const QString& source) {
    log::info(log::Category::funnel, "appstore_click source=" + source.toStdString());
    desktop_->openUrl(QUrl(QString::fromUtf8(QuorlixFeature::appStoreURL.data(),
                                             qsizetype(QuorlixFeature::appStoreURL.size()))));
}

QList<QUrl> AppModel::shareResultItems() {
    if (!result())
        return {};
    const auto card = ShareCard::render(*result(), shareRenderer_);
    if (!card)
        return {};
    desktop_->setClipboardText(ShareCard::caption(*result()));
    notices_.showToast(L::share::copied(), false);
    log::info(log::Category::funnel, "share_opened");
    return {urlFromPath(*card)};
}

QList<QUrl> AppModel::shareKeepersItems() {
    const QList<QUrl> urls = keptPhotoURLs();
    log::info(log::Category::funnel, "share_keepers n=" + std::to_string(urls.size()));
    return urls;
}

} // namespace quorlix
