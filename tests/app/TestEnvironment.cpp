#include "TestEnvironment.h"

#include <QDir>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/stat.h>

namespace quorlix::test {

namespace {

QByteArray home;

// The isolated home goes when the test program ends, with everything the tests left in it.
void removeHome() {
    std::error_code ec;
    if (!home.isEmpty())
        std::filesystem::remove_all(home.toStdString(), ec);
}

} // namespace

void isolateEnvironment(bool keepDisplay) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorlix-apptest-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    home = QByteArray::fromStdString(pattern);
    std::atexit(removeHome);
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
    // No desktop session: nothing may open a real file manager or browser.
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    if (!keepDisplay || !std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

QByteArray isolatedHome() {
    return home;
}

LogCapture::LogCapture() : sink_(std::make_shared<log::CapturingSink>()) {
    log::setSink(sink_);
}

LogCapture::~LogCapture() {
    log::setSink(nullptr);
}

bool LogCapture::contains(const std::string& message) const {
    const auto all = sink_->messages();
    return std::find(all.begin(), all.end(), message) != all.end();
}

std::vector<std::string> LogCapture::messages() const {
    return sink_->messages();
}

void LogCapture::clear() {
    sink_->clear();
}

} // namespace quorlix::test

#include "engine/core/ContentKeys.h"

#include <QTest>
#include <sys/stat.h>

namespace quorlix::test {

bool RecordingDesktop::openUrl(const QUrl& url) {
    opened.append(url);
    return true;
}

bool RecordingDesktop::revealFile(const std::filesystem::path& file) {
    return revealFiles({file});
}

bool RecordingDesktop::revealFiles(const std::vector<std::filesystem::path>& files) {
    revealed.insert(revealed.end(), files.begin(), files.end());
    return revealWorks;
}

void RecordingDesktop::setClipboardText(const QString& text) {
    clipboard = text;
}

bool RecordingDesktop::setClipboardData(QMimeData* data) {
    clipboardData.reset(data);
    return clipboardWorks;
}

PhotoRecord recordFor(const std::filesystem::path& file) {
    PhotoRecord record;
    record.fileURL = file.native();
    record.id = pathDigest(record.fileURL);
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0)
        record.fileSizeBytes = st.st_size;
    record.identity = FileIdentity::ofPath(file);
    return record;
}

ScanResult::Group groupOf(ScanResult::Kind kind, const std::string& id,
                          const std::vector<PhotoRecord>& members) {
    ScanResult::Group group;
    group.id = id;
    group.kind = kind;
    group.members = members;
    group.keeperId = group.autoKeeperId = members.front().id;
    return group;
}

std::unique_ptr<AppModel> modelWithResult(const ScanResult& result,
                                          std::shared_ptr<RecordingDesktop> desktop) {
    auto model =
        std::make_unique<AppModel>([result](const std::filesystem::path&, const ProgressCallback&,
                                            std::stop_token) { return result; },
                                   desktop ? desktop : std::make_shared<RecordingDesktop>());
    model->startScan(QUrl::fromLocalFile(QString::fromStdString(result.folder.native())));
    waitForScanEnd(*model);
    return model;
}

bool waitForScanEnd(AppModel& model, int timeoutMs) {
    return QTest::qWaitFor([&] { return model.screen() != AppModel::Screen::scanning; }, timeoutMs);
}

} // namespace quorlix::test
