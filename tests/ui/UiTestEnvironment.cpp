#include "UiTestEnvironment.h"

#include "engine/ScanCancelled.h"

#include <QDir>
#include <QUuid>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

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

ScanResult::Group madeUpGroup(ScanResult::Kind kind, int members, std::int64_t bytesEach) {
    ScanResult::Group group;
    const std::string prefix = kind == ScanResult::Kind::exact ? "exact" : "near";
    group.id = prefix + ":0";
    group.kind = kind;
    for (int i = 0; i < members; ++i) {
        PhotoRecord record;
        record.id = prefix + std::to_string(i);
        record.fileURL = "/photos/" + prefix + "-" + std::to_string(i) + ".jpg";
        record.fileSizeBytes = bytesEach;
        group.members.push_back(std::move(record));
    }
    group.keeperId = group.autoKeeperId = group.members.front().id;
    return group;
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

ModelHarness::ModelHarness()
    : desktop_(std::make_shared<RecordingDesktop>()),
      nextResult_(std::make_shared<std::optional<ScanResult>>()),
      log_(std::make_shared<log::CapturingSink>()),
      model_(std::make_unique<AppModel>(
          [next = nextResult_](const std::filesystem::path& folder,
                               const ProgressCallback& progress, std::stop_token stop) {
              // Handed over before the scan starts, so the scan's thread sees it.
              if (auto result = std::exchange(*next, std::nullopt))
                  return *result;
              return waitForCancel(folder, progress, std::move(stop));
          },
          desktop_)) {
    log::setSink(log_);
}

ModelHarness::~ModelHarness() {
    log::setSink(nullptr);
}

void ModelHarness::finishScan(int exactCopies, qint64 bytesEach, int nearCopies,
                              qint64 totalPhotos) {
    ScanResult result;
    result.folder = "/photos";
    result.totalPhotos = totalPhotos;
    if (exactCopies > 0)
        result.groups.push_back(madeUpGroup(ScanResult::Kind::exact, exactCopies + 1, bytesEach));
    if (nearCopies > 0)
        result.groups.push_back(madeUpGroup(ScanResult::Kind::near, nearCopies + 1, bytesEach));
    *nextResult_ = std::move(result);
    model_->startScan(QUrl::fromLocalFile(QStringLiteral("/photos")));
}

bool ModelHarness::logged(const QString& message) const {
    const auto messages = log_->messages();
    return std::find(messages.begin(), messages.end(), message.toStdString()) != messages.end();
}

void ModelHarness::reportProgress(const QString& phase, qint64 current, qint64 total) {
    if (const auto p = phaseFromName(phase))
        model_->reportProgress(*p, current, total);
}

void ModelHarness::showToast(const QString& text, bool undoable) {
    model_->setToast(AppModel::Toast{text, undoable, QUuid::createUuid()});
}

void ModelHarness::reset() {
    model_->newScan();
    model_->setToast(std::nullopt);
    model_->setErrorMessage({});
    desktop_->opened.clear();
    log_->clear();
    nextResult_->reset();
}

} // namespace quorlix::test
