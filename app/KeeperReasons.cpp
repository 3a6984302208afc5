#include "app/KeeperReasons.h"

#include "app/L.h"

#include <QStringList>
#include <algorithm>
#include <functional>
#include <optional>

namespace quorlix {

namespace {

// Differences smaller than these are noise of the measurement, not a reason to prefer a photo.
constexpr double pixelsMargin = 1.05; // 5 % more pixels
constexpr double noiseMargin = 0.1;   // 8-bit levels
constexpr double aestheticsMargin = 0.05;
constexpr double scoreMargin = 0.5; // of 100

// Whether `photo` beats every other member that has the measure by `margin`, and at least one
// other has it: a measure nobody else has compares nothing.
bool beatsAll(const ScanResult::Group& group, const PhotoRecord& photo,
              const std::function<std::optional<double>(const PhotoRecord&)>& measure,
              const std::function<bool(double mine, double theirs)>& better) {
    const auto mine = measure(photo);
    if (!mine)
        return false;
    bool compared = false;
    for (const PhotoRecord& other : group.members) {
        if (other.id == photo.id)
            continue;
        const auto theirs = measure(other);
        if (!theirs)
            continue;
        if (!better(*mine, *theirs))
            return false;
        compared = true;
    }
    return compared;
}

std::optional<double> pixelsOf(const PhotoRecord& photo) {
    if (!photo.pixelWidth || !photo.pixelHeight)
        return std::nullopt;
    return double(*photo.pixelWidth) * double(*photo.pixelHeight);
}

} // namespace

std::vector<KeeperReason> KeeperReasons::of(const ScanResult::Group& group,
                                            const PhotoRecord& photo) {
    if (photo.id != group.keeperId)
        return {};
    if (group.keeperId != group.autoKeeperId)
        return {KeeperReason::chosenByYou};
    if (group.kind == ScanResult::Kind::exact)
        return {KeeperReason::firstCopy};

    std::vector<KeeperReason> reasons;
    const bool anyDamaged = std::any_of(group.members.begin(), group.members.end(),
                                        [](const PhotoRecord& m) { return m.isDamaged; });
    if (!photo.isDamaged && anyDamaged)
        reasons.push_back(KeeperReason::intact);
    const auto score = [&group](const PhotoRecord& m) -> std::optional<double> {
        const auto it = group.bestShotScores.find(m.id);
        return it == group.bestShotScores.end() ? std::nullopt : std::optional(it->second);
    };
    if (beatsAll(group, photo, score, [](double a, double b) { return a >= b + scoreMargin; }))
        reasons.push_back(KeeperReason::bestScore);
    if (beatsAll(group, photo, pixelsOf, [](double a, double b) { return a >= b * pixelsMargin; }))
        reasons.push_back(KeeperReason::largest);
    if (beatsAll(
            group, photo, [](const PhotoRecord& m) { return m.noiseLevel; },
            [](double a, double b) { return a + noiseMargin <= b; }))
        reasons.push_back(KeeperReason::leastNoise);
    if (beatsAll(
            group, photo, [](const PhotoRecord& m) { return m.aestheticScore; },
            [](double a, double b) { return a >= b + aestheticsMargin; }))
        reasons.push_back(KeeperReason::mostPleasing);
    if (beatsAll(
            group, photo,
            [](const PhotoRecord& m) {
                return m.faceCount ? std::optional<double>(*m.faceCount) : std::nullopt;
            },
            [](double a, double b) { return a > b; }))
        reasons.push_back(KeeperReason::mostFaces);
    if (reasons.size() > maxNamed)
        reasons.resize(maxNamed);
    return reasons;
}

QString KeeperReasons::text(KeeperReason reason) {
    switch (reason) {
    case KeeperReason::chosenByYou:
        return L::text(QStringLiteral("window.reasonChosen"));
    case KeeperReason::firstCopy:
        return L::text(QStringLiteral("window.reasonFirstCopy"));
    case KeeperReason::intact:
        return L::text(QStringLiteral("window.reasonIntact"));
    case KeeperReason::bestScore:
        return L::text(QStringLiteral("window.reasonBestScore"));
    case KeeperReason::largest:
        return L::text(QStringLiteral("window.reasonLargest"));
    case KeeperReason::leastNoise:
        return L::text(QStringLiteral("window.reasonLeastNoise"));
    case KeeperReason::mostPleasing:
        return L::text(QStringLiteral("window.reasonMostPleasing"));
    case KeeperReason::mostFaces:
        return L::text(QStringLiteral("window.reasonMostFaces"));
    }
    return {};
}

QString KeeperReasons::sentence(const ScanResult::Group& group, const PhotoRecord& photo) {
    if (photo.id != group.keeperId)
        return {};
    QStringList names;
    for (const KeeperReason reason : of(group, photo))
        names << text(reason);
    // A tie on every measure: the election still had to pick one.
    if (names.isEmpty())
        names << L::text(QStringLiteral("window.reasonBestOverall"));
    return L::format(QStringLiteral("window.keptBecause"), {names.join(QStringLiteral(", "))});
}

} // namespace quorlix
