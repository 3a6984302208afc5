#include "UiTestEnvironment.h"

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

ModelHarness::ModelHarness()
    : desktop_(std::make_shared<RecordingDesktop>()),
      model_(std::make_unique<AppModel>(waitForCancel, desktop_)) {}

ModelHarness::~ModelHarness() = default;

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
}

} // namespace quorlix::test
