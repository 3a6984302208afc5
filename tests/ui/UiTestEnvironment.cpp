#include "UiTestEnvironment.h"

#include "TempFolder.h"
#include "engine/ContentKeys.h"
#include "engine/ScanCancelled.h"

#include <QDir>
#include <QUuid>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace quorlix::test {

void isolateUiEnvironment() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorlix-uitest-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    const QByteArray home = QByteArray::fromStdString(pattern);
    const std::pair<const char*, const char*> folders[] = {
        {"XDG_DATA_HOME", "/data"},   {"XDG_CONFIG_HOME", "/config"},  {"XDG_CACHE_HOME", "/cache"},
        {"XDG_STATE_HOME", "/state"}, {"XDG_RUNTIME_DIR", "/runtime"}, {"TMPDIR", "/tmp"}};
    ::setenv("HOME", home.constData(), 1);
    for (const auto& [name, sub] : folders) {
        const QByteArray path = home + sub;
        QDir().mkpath(QString::fromLocal8Bit(path));
        ::setenv(name, path.constData(), 1);
    }
    ::chmod((home + "/runtime").constData(), 0700);
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

bool RecordingDesktop::openUrl(const QUrl& url) {
    opened.append(url);
    return true;
}

bool RecordingDesktop::revealFile(const std::filesystem::path&) {
    return true;
}

void RecordingDesktop::setClipboardText(const QString&) {}

namespace {
// Holds the scanning screen until the scan is cancelled.
ScanResult waitForCancel(const std::filesystem::path&, const ProgressCallback&,
                         std::stop_token stop) {
    while (!stop.stop_requested())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    throw ScanCancelled();
}

std::optional<ScanProgress::Phase> phaseFromName(const QString& name) {
    for (auto phase : {ScanProgress::Phase::enumerating, ScanProgress::Phase::hashing,
                       ScanProgress::Phase::analyzing, ScanProgress::Phase::grouping,
                       ScanProgress::Phase::scoring})
        if (name == QLatin1String(phaseName(phase)))
            return phase;
    return std::nullopt;
}
} // namespace

ModelHarness::ModelHarness() : desktop_(std::make_shared<RecordingDesktop>()) {
    model_ = std::make_unique<AppModel>(
        [this](const std::filesystem::path& folder, const ProgressCallback& progress,
               std::stop_token stop) {
            {
                std::lock_guard lock(mutex_);
                if (nextResult_)
                    return *std::exchange(nextResult_, std::nullopt);
            }
            return waitForCancel(folder, progress, std::move(stop));
        },
        desktop_);
}

ModelHarness::~ModelHarness() {
    // Its scans read this harness: they end before anything of it goes.
    model_.reset();
}

void ModelHarness::reportProgress(const QString& phase, qint64 current, qint64 total) {
    if (const auto p = phaseFromName(phase))
        model_->reportProgress(*p, current, total);
}

void ModelHarness::showToast(const QString& text, bool undoable) {
    model_->setToast(AppModel::Toast{text, undoable, QUuid::createUuid()});
}

namespace {
PhotoRecord recordOf(const TempFolder& folder, const std::string& name, int seed) {
    PhotoRecord record;
    const std::string bytes = randomBytes(4000 + std::size_t(seed) * 10, std::uint32_t(seed));
    record.fileURL = folder.write(name, bytes).native();
    record.id = pathDigest(record.fileURL);
    record.fileSizeBytes = std::int64_t(bytes.size());
    return record;
}

ScanResult::Group groupOf(ScanResult::Kind kind, std::string id, std::vector<PhotoRecord> members) {
    ScanResult::Group group;
    group.id = std::move(id);
    group.kind = kind;
    group.members = std::move(members);
    group.keeperId = group.autoKeeperId = group.members.front().id;
    return group;
}
} // namespace

void ModelHarness::loadResult(int exactOthers, int nearOthers) {
    photos_ = std::make_unique<TempFolder>();
    ScanResult result;
    result.folder = photos_->path();
    int seed = 1;
    if (exactOthers > 0) {
        std::vector<PhotoRecord> members;
        for (int i = 0; i <= exactOthers; ++i)
            members.push_back(recordOf(*photos_, "copy" + std::to_string(i) + ".jpg", seed++));
        result.groups.push_back(groupOf(ScanResult::Kind::exact, "exact:a", std::move(members)));
    }
    if (nearOthers > 0) {
        std::vector<PhotoRecord> members;
        for (int i = 0; i <= nearOthers; ++i)
            members.push_back(recordOf(*photos_, "burst" + std::to_string(i) + ".jpg", seed++));
        result.groups.push_back(groupOf(ScanResult::Kind::near, "near:a", std::move(members)));
    }
    result.totalPhotos = seed - 1;
    {
        std::lock_guard lock(mutex_);
        nextResult_ = std::move(result);
    }
    model_->startScan(QUrl::fromLocalFile(QString::fromStdString(photos_->path().native())));
}

QUrl ModelHarness::destinationFolder() {
    if (!destination_)
        destination_ = std::make_unique<TempFolder>();
    return QUrl::fromLocalFile(QString::fromStdString(destination_->path().native()));
}

int ModelHarness::entryCount(const QUrl& folder) const {
    std::error_code ec;
    int count = 0;
    for (auto it = std::filesystem::directory_iterator(folder.toLocalFile().toStdString(), ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
        ++count;
    return ec ? -1 : count;
}

void ModelHarness::reset() {
    model_->setMoveSlicing(0, 0);
    destination_.reset();
    model_->newScan();
    model_->setToast(std::nullopt);
    model_->setErrorMessage({});
    desktop_->opened.clear();
}

} // namespace quorlix::test
