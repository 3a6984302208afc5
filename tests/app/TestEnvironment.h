#pragma once

#include "engine/core/Log.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace quorlix::test {

// Points HOME, TMPDIR and every XDG folder at a fresh temporary folder, so that nothing a test
// does reaches the user's settings, Trash or home. Call before the application object exists.
// Qt draws offscreen, unless `keepDisplay` and a platform was already chosen (Xvfb).
void isolateEnvironment(bool keepDisplay = false);

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

#include "app/AppModel.h"

#include <QList>
#include <QMimeData>
#include <QUrl>
#include <filesystem>

namespace quorlix::test {

// Desktop services that only record what they were asked; reveals and the clipboard's data can
// be made to fail.
class RecordingDesktop : public DesktopServices {
public:
    bool openUrl(const QUrl& url) override;
    bool revealFile(const std::filesystem::path& file) override;
    bool revealFiles(const std::vector<std::filesystem::path>& files) override;
    void setClipboardText(const QString& text) override;
    bool setClipboardData(QMimeData* data) override;

    QList<QUrl> opened;
    std::vector<std::filesystem::path> revealed;
    QString clipboard;
    std::unique_ptr<QMimeData> clipboardData;
    bool revealWorks = true;
    bool clipboardWorks = true;
};

// A record for a file that exists, as the scan would have made it.
PhotoRecord recordFor(const std::filesystem::path& file);

// A group of records, the first one its keeper.
ScanResult::Group groupOf(ScanResult::Kind kind, const std::string& id,
                          const std::vector<PhotoRecord>& members);

// A model whose scans return `result`, with the scan already finished.
std::unique_ptr<AppModel> modelWithResult(const ScanResult& result,
                                          std::shared_ptr<RecordingDesktop> desktop = nullptr);

// Waits, processing events, until the model has left the scanning screen.
bool waitForScanEnd(AppModel& model, int timeoutMs = 20000);

} // namespace quorlix::test
