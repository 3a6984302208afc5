#include "ui/VeltranoRequirements.h"

#include "app/L.h"

#include <QTest>

using namespace quorlix;

namespace {

VeltranoRequirements::Facts mac(std::optional<int> arm64, VeltranoRequirements::Version system) {
    return {true, arm64, system};
}

} // namespace

class VeltranoRequirementsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // This machine's verdict is shown in the splash's upsell (a Linux machine: no Mac).
    // A Mac with Apple silicon from macOS 26.4 on; otherwise the first requirement missing is
    // named.
    void verdictNamesTheFirstMissingRequirement() {
        const struct {
            VeltranoRequirements::Facts facts;
            QString reason; // empty: compatible
        } cases[] = {
            {{false, 1, {27, 0, 0}}, L::req::needsMac()},
            // Intel is named even on an old system; a failed query counts as not Apple silicon,
            // as does any value but 1.
            {mac(0, {15, 6, 1}), L::req::needsAppleSilicon()},
            {mac(0, {26, 4, 0}), L::req::needsAppleSilicon()},
            {mac(std::nullopt, {26, 4, 0}), L::req::needsAppleSilicon()},
            {mac(2, {26, 4, 0}), L::req::needsAppleSilicon()},
            // An old system is named without its patch.
            {mac(1, {26, 3, 9}), L::req::needsOS("macOS 26.3")},
            {mac(1, {15, 6, 1}), L::req::needsOS("macOS 15.6")},
            {mac(1, {26, 4, 0}), {}},
            {mac(1, {26, 4, 2}), {}},
            {mac(1, {26, 10, 0}), {}},
            {mac(1, {27, 0, 0}), {}},
        };
        for (const auto& c : cases) {
            const auto verdict = VeltranoRequirements::assess(c.facts);
            QCOMPARE(verdict.reason, c.reason);
            QCOMPARE(verdict.compatible, c.reason.isEmpty());
        }
    }
};

int runVeltranoRequirementsTest(int argc, char** argv) {
    VeltranoRequirementsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "VeltranoRequirementsTest.moc"
