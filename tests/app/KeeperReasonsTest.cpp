#include "app/KeeperReasons.h"

#include "TestEnvironment.h"
#include "app/StringCatalogue.h"

#include <QGuiApplication>
#include <QStandardPaths>
#include <QTest>

using namespace quorlix;
using Reasons = std::vector<KeeperReason>;

namespace {

PhotoRecord photo(const std::string& id, int width, int height) {
    PhotoRecord p;
    p.id = id;
    p.fileURL = "/photos/" + id + ".jpg";
    p.pixelWidth = width;
    p.pixelHeight = height;
    return p;
}

// A burst whose keeper "a" scores 80 against 60 and 55.
ScanResult::Group burst() {
    ScanResult::Group g;
    g.id = "near:0";
    g.kind = ScanResult::Kind::near;
    g.members = {photo("a", 4000, 3000), photo("b", 4000, 3000), photo("c", 4000, 3000)};
    g.keeperId = g.autoKeeperId = "a";
    g.bestShotScores = {{"a", 80}, {"b", 60}, {"c", 55}};
    g.isBestShotUnlocked = true;
    return g;
}

QualitySignals signals(double sharpness, std::optional<bool> eyesOpen, double highlightClip,
                       double midtoneStops = 0) {
    QualitySignals s;
    s.sharpness01 = sharpness;
    s.eyesOpen = eyesOpen;
    s.highlightClip01 = highlightClip;
    s.midtoneStops = midtoneStops;
    return s;
}

} // namespace

class KeeperReasonsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { StringCatalogue::shared().load("en"); }

    void namesWhatTheKeeperLeadsTheGroupIn() {
        auto g = burst();
        g.members[0].pixelWidth = 6000;
        g.members[0].noiseLevel = 0.4;
        g.members[1].noiseLevel = 0.9;
        // Only the keeper has faces counted: nothing to compare with, no reason.
        g.members[0].faceCount = 2;
        QCOMPARE(
            KeeperReasons::of(g, g.members[0]),
            (Reasons{KeeperReason::bestScore, KeeperReason::largest, KeeperReason::leastNoise}));
        QCOMPARE(KeeperReasons::sentence(g, g.members[0]),
                 QString("Kept because: highest score, largest, least noise"));
        // Only the keeper carries reasons.
        QVERIFY(KeeperReasons::of(g, g.members[1]).empty());
        QVERIFY(KeeperReasons::sentence(g, g.members[1]).isEmpty());
    }

    void namesWhatTheScorecardMeasured() {
        auto g = burst();
        g.qualitySignals["a"] = signals(0.8, true, 0.01);
        g.qualitySignals["b"] = signals(0.5, false, 0.02);
        g.qualitySignals["c"] = signals(0.6, std::nullopt, 0.3); // no faces: compares no eyes
        QCOMPARE(KeeperReasons::sentence(g, g.members[0]),
                 QString("Kept because: eyes open, sharpest, best exposed"));
        QCOMPARE(KeeperReasons::of(g, g.members[1]), Reasons{});
    }

    void differencesWithinTheMeasurementsNoiseAreNoReason() {
        auto g = burst();
        g.bestShotScores["b"] = 79.8;
        g.members[0].pixelWidth = 4100; // 2.5 % more pixels
        g.members[0].noiseLevel = 0.5;
        g.members[2].noiseLevel = 0.55;
        g.members[0].aestheticScore = 0.31;
        g.members[1].aestheticScore = 0.30;
        // Barely sharper; everyone's eyes open; "c" clips, but "b" clips as little and sits a
        // stop nearer middle grey.
        g.qualitySignals["a"] = signals(0.8, true, 0.01, 1.5);
        g.qualitySignals["b"] = signals(0.75, true, 0.02, 0.5);
        g.qualitySignals["c"] = signals(0.72, true, 0.3);
        QVERIFY(KeeperReasons::of(g, g.members[0]).empty());
        // The election still picked one.
        QCOMPARE(KeeperReasons::sentence(g, g.members[0]), QString("Kept because: best overall"));
    }

    void anIntactKeeperAmongDamagedFilesSaysSoFirst() {
        auto g = burst();
        g.members[2].isDamaged = true;
        g.members[0].aestheticScore = 0.6;
        g.members[1].aestheticScore = 0.2;
        g.members[0].faceCount = 3;
        g.members[1].faceCount = 1;
        g.members[2].faceCount = 1;
        const auto reasons = KeeperReasons::of(g, g.members[0]);
        QCOMPARE(reasons.size(), KeeperReasons::maxNamed);
        QCOMPARE(reasons.front(), KeeperReason::intact);
    }

    void theUsersPickAndExactCopiesGiveTheirOwnReason() {
        auto g = burst();
        g.keeperId = "c";
        QCOMPARE(KeeperReasons::of(g, g.members[2]), Reasons{KeeperReason::chosenByYou});
        QVERIFY(KeeperReasons::of(g, g.members[0]).empty());

        ScanResult::Group copies;
        copies.kind = ScanResult::Kind::exact;
        copies.members = {photo("x", 10, 10), photo("y", 10, 10)};
        copies.keeperId = copies.autoKeeperId = "x";
        QCOMPARE(KeeperReasons::of(copies, copies.members[0]), Reasons{KeeperReason::firstCopy});
    }

    void theSentenceFollowsTheLanguage() {
        QVERIFY(StringCatalogue::shared().load("it"));
        auto g = burst();
        g.members[0].pixelWidth = 6000;
        QCOMPARE(KeeperReasons::sentence(g, g.members[0]),
                 QString::fromUtf8("Tenuta perché: punteggio più alto, la più grande"));
    }
};

QUORLIX_TEST_MAIN(KeeperReasonsTest)
#include "KeeperReasonsTest.moc"
