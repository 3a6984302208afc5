#include "UiTestEnvironment.h"

#include <QGuiApplication>
#include <QStandardPaths>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(QuorlixPlugin)

int runGroupListModelTest(int argc, char** argv);
int runThumbnailProviderTest(int argc, char** argv);
int runShareCardPainterTest(int argc, char** argv);
int runSharePickerTest(int argc, char** argv);
int runVeltranoRequirementsTest(int argc, char** argv);

// The list model, the thumbnail provider, the share card and picker and the Veltrano
// requirements, in one process.
int main(int argc, char** argv) {
    quorlix::test::isolateEnvironment(/*keepDisplay=*/true);
    QGuiApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    int failed = 0;
    failed += runGroupListModelTest(argc, argv);
    failed += runThumbnailProviderTest(argc, argv);
    failed += runShareCardPainterTest(argc, argv);
    failed += runSharePickerTest(argc, argv);
    failed += runVeltranoRequirementsTest(argc, argv);
    return failed;
}
