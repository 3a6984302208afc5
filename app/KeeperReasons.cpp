#include "app/KeeperReasons.h"

#include "app/L.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

namespace quorlix {

namespace {

// Differences smaller than these are noise of the measurement, not a reason to prefer a photo.
constexpr double pixelsMargin = 1.05; // 5 % more pixels
constexpr double noiseMargin = 0.1;   // 8-bit levels
constexpr double aestheticsMargin = 0.05;
constexpr double scoreMargin = 0.5;     // of 100
constexpr double sharpnessMargin = 0.1; // of the scorecard's 0…1 scale
constexpr double clipMargin = 0.05;     // of the frame
constexpr double midtoneMargin = 0.5;   // stops

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

const QualitySignals* signalsOf(const ScanResult::Group& group, const PhotoRecord& photo) {
    const auto it = group.qualitySignals.find(photo.id);
    return it == group.qualitySignals.end() ? nullptr : &it->second;
}

double clipped(const QualitySignals& s) {
    return s.shadowClip01 + s.highlightClip01;
}

bool eyesOpenWhereOthersClosed(const ScanResult::Group& group, const PhotoRecord& photo) {
    const QualitySignals* mine = signalsOf(group, photo);
    return mine && mine->eyesOpen == true &&
           std::any_of(group.members.begin(), group.members.end(), [&](const PhotoRecord& m) {
               const QualitySignals* theirs = signalsOf(group, m);
               return m.id != photo.id && theirs && theirs->eyesOpen == false;
           });
}

// No other member clips less or, clipping about as much, has its mid-tones visibly nearer middle
// grey; and at least one clips noticeably more.
bool bestExposed(const ScanResult::Group& group, const PhotoRecord& photo) {
    const QualitySignals* mine = signalsOf(group, photo);
    if (!mine)
        return false;
    bool noticeably = false;
    for (const PhotoRecord& other : group.members) {
        const QualitySignals* theirs = other.id == photo.id ? nullptr : signalsOf(group, other);
        if (!theirs)
            continue;
        if (clipped(*theirs) < clipped(*mine))
            return false;
        if (clipped(*theirs) >= clipped(*mine) + clipMargin)
            noticeably = true;
        else if (std::abs(theirs->midtoneStops) + midtoneMargin < std::abs(mine->midtoneStops))
            return false;
    }
    return noticeably;
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
    if (eyesOpenWhereOthersClosed(group, photo))
        reasons.push_back(KeeperReason::eyesOpen);
    const auto sharpness = [&group](const PhotoRecord& m) -> std::optional<double> {
        const QualitySignals* s = signalsOf(group, m);
        return s ? std::optional(s->sharpness01) : std::nullopt;
    };
    if (beatsAll(group, photo, sharpness,
                 [](double a, double b) { return a >= b + sharpnessMargin; }))
        reasons.push_back(KeeperReason::sharpest);
    if (bestExposed(group, photo))
        reasons.push_back(KeeperReason::bestExposed);
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
    case KeeperReason::eyesOpen:
        return L::text(QStringLiteral("window.reasonEyesOpen"));
    case KeeperReason::sharpest:
        return L::text(QStringLiteral("window.reasonSharpest"));
    case KeeperReason::bestExposed:
        return L::text(QStringLiteral("window.reasonBestExposed"));
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
