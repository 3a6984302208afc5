#include "UiTestEnvironment.h"

#include <QGuiApplication>
#include <QStandardPaths>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(QuorlixPlugin)

int runSharePickerTest(int argc, char** argv);
int runVeltranoRequirementsTest(int argc, char** argv);

// The share picker's actions and the Veltrano requirements, in one process.
int main(int argc, char** argv) {
    quorlix::test::isolateEnvironment(/*keepDisplay=*/true);
    QGuiApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    int failed = 0;
    failed += runSharePickerTest(argc, argv);
    failed += runVeltranoRequirementsTest(argc, argv);
    return failed;
}
