#pragma once

#include "engine/Log.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace quorlix::test {

// Points HOME, TMPDIR and every XDG folder at a fresh temporary folder, so that nothing a test
// does reaches the user's settings, Trash or home. Call before the application object exists.
void isolateEnvironment();

// The temporary home made by isolateEnvironment.
QByteArray isolatedHome();

// Installs a capturing log sink for the life of the object.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    bool contains(const std::string& message) const;
    std::vector<std::string> messages() const;
    void clear();

private:
    std::shared_ptr<log::CapturingSink> sink_;
};

} // namespace quorlix::test

// A Qt Test main on a QGuiApplication, in an isolated environment with test paths.
#define QUORLIX_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char** argv) {                                                              \
        quorlix::test::isolateEnvironment();                                                       \
        QGuiApplication app(argc, argv);                                                           \
        QStandardPaths::setTestModeEnabled(true);                                                  \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
