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
    void anythingButAMacIsNeverCompatible() {
        const auto verdict = VeltranoRequirements::assess({false, 1, {27, 0, 0}});
        QVERIFY(!verdict.compatible);
        QCOMPARE(verdict.reason, L::req::needsMac());
    }

    void thisMachineIsAskedOnce() {
        const auto& first = VeltranoRequirements::current();
        QCOMPARE(&VeltranoRequirements::current(), &first);
#ifndef __APPLE__
        QVERIFY(!first.compatible);
        QCOMPARE(first.reason, L::req::needsMac());
        QVERIFY(!VeltranoRequirements::machine().arm64);
#endif
    }

    void intelIsNamedEvenOnAnOldSystem() {
        QCOMPARE(VeltranoRequirements::assess(mac(0, {15, 6, 1})).reason,
                 L::req::needsAppleSilicon());
        QCOMPARE(VeltranoRequirements::assess(mac(0, {26, 4, 0})).reason,
                 L::req::needsAppleSilicon());
        // A failed query counts as not Apple silicon, as does any value but 1.
        QCOMPARE(VeltranoRequirements::assess(mac(std::nullopt, {26, 4, 0})).reason,
                 L::req::needsAppleSilicon());
        QCOMPARE(VeltranoRequirements::assess(mac(2, {26, 4, 0})).reason,
                 L::req::needsAppleSilicon());
    }

    void anOldSystemIsNamedWithoutItsPatch() {
        const auto verdict = VeltranoRequirements::assess(mac(1, {26, 3, 9}));
        QVERIFY(!verdict.compatible);
        QCOMPARE(verdict.reason, L::req::needsOS("macOS 26.3"));
        QCOMPARE(VeltranoRequirements::assess(mac(1, {15, 6, 1})).reason,
                 L::req::needsOS("macOS 15.6"));
        QCOMPARE(VeltranoRequirements::systemName({15, 6, 1}), QString("macOS 15.6"));
    }

    void appleSiliconFrom26Point4IsCompatible() {
        for (const VeltranoRequirements::Version v :
             {VeltranoRequirements::Version{26, 4, 0}, {26, 4, 2}, {26, 10, 0}, {27, 0, 0}}) {
            const auto verdict = VeltranoRequirements::assess(mac(1, v));
            QVERIFY(verdict.compatible);
            QVERIFY(verdict.reason.isEmpty());
        }
    }
};

int runVeltranoRequirementsTest(int argc, char** argv) {
    VeltranoRequirementsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "VeltranoRequirementsTest.moc"
