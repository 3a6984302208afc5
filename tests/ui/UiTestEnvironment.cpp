#include "UiTestEnvironment.h"

#include "TempFolder.h"
#include "engine/core/AnalysisCache.h"
#include "engine/core/ScanCancelled.h"

#include <QColor>
#include <QImage>
#include <QTest>
#include <QUuid>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <utility>

namespace quorlix::test {

namespace {
// Returns the made-up result when there is one; otherwise holds the scanning screen until the
// scan is cancelled.
AppModel::ScanFunction scanFunction(std::shared_ptr<std::optional<ScanResult>> next) {
    return [next](const std::filesystem::path&, const ProgressCallback&, std::stop_token stop) {
        if (*next) {
            ScanResult result = **next;
            next->reset();
            return result;
        }
        while (!stop.stop_requested())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        throw ScanCancelled();
    };
}

// A small photo of one flat colour with a darker band, distinct per seed.
void writePhoto(const std::filesystem::path& file, int seed) {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((seed * 47) % 360, 150, 220));
    for (int y = 30; y < 40; ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(x, y, QColor::fromHsv((seed * 47) % 360, 200, 120));
    image.save(QString::fromStdString(file.native()), "JPEG", 90);
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
    : desktop_(std::make_shared<RecordingDesktop>()), log_(std::make_shared<log::CapturingSink>()),
      model_(std::make_unique<AppModel>(scanFunction(next_), desktop_)) {
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
    *next_ = std::move(result);
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

void ModelHarness::fillAnalysisCache(int bytes) {
    const auto path = AnalysisCache::defaultPath();
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << std::string(std::size_t(bytes), 'x');
    Q_EMIT model_->analysisCacheChanged();
}

void ModelHarness::reset() {
    model_->setMoveSlicing(0, 0);
    destination_.reset();
    model_->newScan();
    model_->setToast(std::nullopt);
    model_->setErrorMessage({});
    desktop_->opened.clear();
    log_->clear();
    next_->reset();
}

bool ModelHarness::showResult(const QVariantList& groups, int totalPhotos) {
    folder_ = std::make_unique<TempFolder>();
    ScanResult result;
    result.folder = folder_->path();
    result.totalPhotos = totalPhotos;
    int seed = 0;
    for (const QVariant& value : groups) {
        const QVariantMap description = value.toMap();
        ScanResult::Group group;
        const bool exact =
            description.value(QStringLiteral("kind")).toString() == QLatin1String("exact");
        group.kind = exact ? ScanResult::Kind::exact : ScanResult::Kind::near;
        group.isBestShotUnlocked = description.value(QStringLiteral("unlocked")).toBool();
        const int groupSeed = seed++; // exact groups hold copies: one picture for all
        const QVariantMap scores = description.value(QStringLiteral("scores")).toMap();
        const QStringList damaged = description.value(QStringLiteral("damaged")).toStringList();
        for (const QVariant& member : description.value(QStringLiteral("members")).toList()) {
            const QString name = member.toString();
            const auto path = folder_->path() / name.toStdString();
            if (name.endsWith(QLatin1String(".broken.jpg")))
                folder_->write(name.toStdString(), "not a picture at all");
            else if (!std::filesystem::exists(path))
                writePhoto(path, exact ? groupSeed : seed++);
            PhotoRecord photo = recordFor(path);
            if (scores.contains(name))
                group.bestShotScores[photo.id] = scores.value(name).toDouble();
            photo.isDamaged = damaged.contains(name);
            group.members.push_back(std::move(photo));
        }
        if (group.members.empty())
            continue;
        group.keeperId = group.autoKeeperId = group.members.front().id;
        group.id = (exact ? "exact:" : "near:") + std::to_string(result.groups.size());
        result.groups.push_back(std::move(group));
    }
    *next_ = result;
    model_->startScan(QUrl::fromLocalFile(QString::fromStdString(folder_->path().native())));
    if (!QTest::qWaitFor([&] { return model_->screen() != AppModel::Screen::scanning; }))
        return false;
    model_->setScreen(AppModel::Screen::results);
    return model_->hasResult();
}

QString ModelHarness::photoId(const QString& name) const {
    if (const auto& result = model_->result())
        for (const auto& group : result->groups)
            for (const auto& member : group.members)
                if (std::filesystem::path(member.fileURL).filename() == name.toStdString())
                    return QString::fromStdString(member.id);
    return {};
}

} // namespace quorlix::test
