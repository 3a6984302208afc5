#include "app/AppModel.h"

#include "app/ByteCountFormat.h"
#include "app/FileUrl.h"
#include "app/L.h"
#include "app/SecurityScope.h"
#include "engine/core/AnalysisCache.h"
#include "engine/core/Log.h"
#include "engine/core/QuorlixFeature.h"
#include "engine/core/ScanCancelled.h"

#include <QFileInfo>
#include <QMetaObject>
#include <atomic>
#include <chrono>
#include <limits>
#include <mutex>

namespace quorlix {

// Lets scan threads reach the model while it exists, and never after.
struct AppModel::Relay {
    std::mutex mutex;
    AppModel* model = nullptr;

    template <typename F> void post(F&& call) {
        std::lock_guard lock(mutex);
        if (model)
            QMetaObject::invokeMethod(model, std::forward<F>(call), Qt::QueuedConnection);
    }
};

std::atomic<int> AppModel::scansLeftRunning_{0};

struct AppModel::ScanTask {
    std::shared_ptr<std::atomic<bool>> finished = std::make_shared<std::atomic<bool>>(false);
    std::jthread thread;
};

struct AppModel::Outcome {
    enum class Kind { success, cancelled, failed };
    Kind kind = Kind::failed;
    std::optional<ScanResult> result;
    std::string error;
};

AppModel::AppModel(QObject* parent) : AppModel(nullptr, nullptr, parent) {}

AppModel::AppModel(ScanFunction scan, std::shared_ptr<DesktopServices> desktop, QObject* parent)
    : QObject(parent), config_(QuorlixConfig::load()), scan_(std::move(scan)),
      desktop_(desktop ? std::move(desktop) : std::make_shared<DesktopServices>()),
      relay_(std::make_shared<Relay>()) {
    relay_->model = this;
    if (!scan_)
        scan_ = [coordinator = coordinator_](const std::filesystem::path& folder,
                                             const ProgressCallback& progress,
                                             std::stop_token stop) {
            return coordinator.scan(folder, progress, std::move(stop),
                                    {.cache = AnalysisCache::defaultPath()});
        };
}

AppModel::~AppModel() {
    abandonMoveJob();
    {
        std::lock_guard lock(relay_->mutex);
        relay_->model = nullptr;
    }
    // A scan stops at its next checkpoint. One still inside a single long decode or read is not
    // waited for past a moment, so quitting never hangs: it owns everything it touches and ends
    // on its own, or with the process.
    if (scanTask_)
        retiring_.push_back(std::move(scanTask_));
    for (auto& task : retiring_)
        task->thread.request_stop();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(450);
    for (auto& task : retiring_) {
        while (!task->finished->load() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!task->finished->load()) {
            task->thread.detach();
            ++scansLeftRunning_;
            log::info(log::Category::scan, "A scan still busy in one file was left to end alone");
        }
    }
    retiring_.clear();
}

int AppModel::scansLeftRunning() {
    return scansLeftRunning_.load();
}

void AppModel::setScreen(Screen screen) {
    screen_ = screen;
    Q_EMIT screenChanged();
}

void AppModel::setFolder(const QUrl& folder) {
    folder_ = folder;
    Q_EMIT folderChanged();
}

QString AppModel::folderName() const {
    if (folder_.isEmpty())
        return {};
    const auto path = pathFromUrl(folder_);
    const auto name = path.has_filename() ? path.filename() : path.parent_path().filename();
    return textFromPath(name);
}

void AppModel::setProgress(const ScanProgress& progress) {
    progress_ = progress;
    Q_EMIT progressChanged();
}

QString AppModel::progressPhase() const {
    return QString::fromLatin1(phaseName(progress_.phase));
}

void AppModel::setResult(std::optional<ScanResult> result) {
    result_ = std::move(result);
    Q_EMIT resultChanged();
    Q_EMIT analysisCacheChanged(); // a scan that finished has written to it
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
        showToast(L::prefs::forgetCacheFailed(), false);
    }
    Q_EMIT analysisCacheChanged();
}

void AppModel::setConfig(const QuorlixConfig& config) {
    config_ = config;
    config_.save();
    Q_EMIT configChanged();
}

void AppModel::setErrorMessage(const QString& message) {
    errorMessage_ = message;
    Q_EMIT errorMessageChanged();
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
    if (auto photo = findPhoto(result_, photoId.toStdString()))
        setQuickLook(photo);
}

void AppModel::revealPhoto(const QString& photoId) {
    if (auto photo = findPhoto(result_, photoId.toStdString()))
        revealInFileManager(*photo);
}

void AppModel::dismissToast(const QString& id) {
    if (toast_ && toastId() == id)
        setToast(std::nullopt);
}

void AppModel::setToast(const std::optional<Toast>& toast) {
    toast_ = toast;
    Q_EMIT toastChanged();
}

void AppModel::showToast(const QString& text, bool undoable) {
    setToast(Toast{text, undoable, QUuid::createUuid()});
}

void AppModel::setPendingMove(const std::optional<MoveDestination>& destination) {
    pendingMove_ = destination;
    Q_EMIT pendingMoveChanged();
}

void AppModel::setLastMove(std::optional<MoveOperation> move) {
    lastMove_ = std::move(move);
    Q_EMIT lastMoveChanged();
}

QList<QUrl> AppModel::keptPhotoURLs() const {
    QList<QUrl> urls;
    if (!result_)
        return urls;
    for (const auto& group : result_->groups)
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

void AppModel::reapFinishedTasks() {
    retiring_.remove_if(
        [](const std::unique_ptr<ScanTask>& task) { return task->finished->load(); });
}

void AppModel::startScan(const QUrl& folderUrl) {
    // The moved files of a running move must be known before the result goes.
    completeMoveNow();
    cancelScan();
    reapFinishedTasks();
    setFolder(folderUrl);
    setResult(std::nullopt);
    setLastMove(std::nullopt);
    // A confirmation asked about the old result must not reappear over the new one.
    setPendingMove(std::nullopt);
    setProgress(ScanProgress{});
    setScreen(Screen::scanning);
    log::info(log::Category::funnel, "scan_started");

    const auto path = pathFromUrl(folderUrl);
    const std::uint64_t generation = ++generation_;
    cancelRequested_ = false;
    auto task = std::make_unique<ScanTask>();
    task->thread = std::jthread([relay = relay_, scan = scan_, finished = task->finished, path,
                                 generation](std::stop_token stop) {
        const bool granted = startAccessingSecurityScope(path);
        ProgressCallback progress = [&relay, generation](const ScanProgress& value) {
            relay->post([relay, generation, value] {
                if (relay->model)
                    relay->model->applyProgress(generation, value);
            });
        };
        auto outcome = std::make_shared<Outcome>();
        try {
            outcome->result = scan(path, progress, stop);
            outcome->kind = Outcome::Kind::success;
        } catch (const ScanCancelled&) {
            outcome->kind = Outcome::Kind::cancelled;
        } catch (const std::exception& e) {
            outcome->error = e.what();
        } catch (...) {
            outcome->error = "unknown error";
        }
        if (granted)
            stopAccessingSecurityScope(path);
        relay->post([relay, generation, outcome] {
            if (relay->model)
                relay->model->finishScan(generation, *outcome);
        });
        finished->store(true);
    });
    scanTask_ = std::move(task);
}

void AppModel::cancelScan() {
    if (!scanTask_)
        return;
    scanTask_->thread.request_stop();
    cancelRequested_ = true;
    retiring_.push_back(std::move(scanTask_));
}

void AppModel::newScan() {
    completeMoveNow();
    cancelScan();
    setResult(std::nullopt);
    setFolder(QUrl());
    setLastMove(std::nullopt);
    setPendingMove(std::nullopt);
    setScreen(Screen::empty);
}

void AppModel::reportProgress(ScanProgress::Phase phase, std::int64_t current, std::int64_t total) {
    const ScanProgress value{phase, current, total};
    const std::uint64_t generation = generation_;
    relay_->post([relay = relay_, generation, value] {
        if (relay->model)
            relay->model->applyProgress(generation, value);
    });
}

void AppModel::applyProgress(std::uint64_t generation, const ScanProgress& progress) {
    if (generation != generation_ || cancelRequested_)
        return;
    setProgress(progress);
}

void AppModel::finishScan(std::uint64_t generation, const Outcome& outcome) {
    // A newer scan has started since: this one's ending belongs to nobody.
    if (generation != generation_)
        return;
    const bool cancelled = cancelRequested_ || outcome.kind == Outcome::Kind::cancelled;
    if (scanTask_)
        retiring_.push_back(std::move(scanTask_));
    if (cancelled) {
        setScreen(Screen::empty);
        return;
    }
    if (outcome.kind == Outcome::Kind::failed) {
        log::error(log::Category::scan, "Scan failed: " + outcome.error);
        setErrorMessage(L::error::folderUnreadable());
        setScreen(Screen::empty);
        return;
    }
    const ScanResult& r = *outcome.result;
    setResult(r);
    QuorlixConfig next = config_;
    if (next.completedScans < std::numeric_limits<std::int64_t>::max())
        ++next.completedScans;
    setConfig(next);
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
    if (moveJob_ || !result_ || !findGroup(*result_, groupId.toStdString()))
        return;
    ScanResult edited = *result_;
    for (auto& group : edited.groups)
        if (group.id == groupId.toStdString()) {
            group.keeperId = photoId.toStdString();
            break;
        }
    setResult(std::move(edited));
}

void AppModel::resetKeeper(const QString& groupId) {
    if (!result_)
        return;
    if (const auto* group = findGroup(*result_, groupId.toStdString()))
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

} // namespace quorlix
