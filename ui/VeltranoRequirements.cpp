#include "ui/VeltranoRequirements.h"

#include "app/L.h"

#include <QOperatingSystemVersion>
#include <algorithm>
#include <tuple>

#ifdef __APPLE__
#include <sys/sysctl.h>
#include <sys/types.h>
#endif

namespace quorlix {

namespace {

bool atLeast(const VeltranoRequirements::Version& v, const VeltranoRequirements::Version& floor) {
    return std::tie(v.major, v.minor, v.patch) >= std::tie(floor.major, floor.minor, floor.patch);
}

VeltranoRequirements::Facts readMachine() {
    VeltranoRequirements::Facts facts;
#ifdef __APPLE__
    facts.isMac = true;
    int value = 0;
    size_t size = sizeof(value);
    if (::sysctlbyname("hw.optional.arm64", &value, &size, nullptr, 0) == 0 &&
        size == sizeof(value))
        facts.arm64 = value;
    const auto os = QOperatingSystemVersion::current();
    facts.system = {os.majorVersion(), std::max(0, os.minorVersion()),
                    std::max(0, os.microVersion())};
#endif
    return facts;
}

} // namespace

VeltranoRequirements::Verdict VeltranoRequirements::assess(const Facts& facts) {
    if (!facts.isMac)
        return {false, L::req::needsMac()};
    if (facts.arm64 != 1)
        return {false, L::req::needsAppleSilicon()};
    if (!atLeast(facts.system, minimumSystem))
        return {false, L::req::needsOS(systemName(facts.system))};
    return {true, {}};
}

QString VeltranoRequirements::systemName(const Version& version) {
    return QStringLiteral("macOS %1.%2").arg(version.major).arg(version.minor);
}

const VeltranoRequirements::Facts& VeltranoRequirements::machine() {
    static const Facts facts = readMachine();
    return facts;
}

const VeltranoRequirements::Verdict& VeltranoRequirements::current() {
    static const Verdict verdict = assess(machine());
    return verdict;
}

} // namespace quorlix
