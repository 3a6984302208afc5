#pragma once

#include "app/AppModel.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <semaphore>

class QQuickWindow;

namespace quorlix {

// Drives the real window through its screens for the screenshot tour and the smoke test.
// Only active when QUORLIX_TOUR names the steps; the user's start never sets it.
//   QUORLIX_TOUR         comma-separated steps: empty, drop, scan (drop then every scan phase),
//                        share (opens the share picker on the splash), large (a made-up result
//                        with a very large duplicate count, on the splash), results (the results
//                        screen), scroll (half way down its groups), quicklook (the first photo
//                        enlarged)
//   QUORLIX_TOUR_OUT     folder for the PNGs (none: nothing is written)
//   QUORLIX_TOUR_TAG     suffix of each PNG name ("light" gives empty-light.png)
//   QUORLIX_TOUR_FOLDER  the folder dragged onto the window
// After the last step the window is closed like a user would, which quits the application.
class TourDriver : public QObject {
    Q_OBJECT

public:
    static std::unique_ptr<TourDriver> fromEnvironment();
    ~TourDriver() override;

    // The real coordinator's scan, pausing at each phase until its screen has been captured.
    AppModel::ScanFunction scanFunction();
    void start(QQuickWindow* window, AppModel* model);
    // Lets a paused scan run on and stops pausing; call before the model goes away.
    void release();

private:
    TourDriver() = default;
    void runStep();
    void capture(const QString& name);
    void checkpoint(const QString& name);
    void finish();
    void scrollGroups();
    void sendDrag(int type);
    void click(const QString& objectName);
    void sendKey(int key);
    void after(int ms, void (TourDriver::*step)());

    QStringList steps_;
    QString outDir_;
    QString tag_;
    QString folder_;
    QPointer<QQuickWindow> window_;
    QPointer<AppModel> model_;
    QString afterScanName_ = QStringLiteral("after-scan");
    // The next scan returns a made-up result with a very large duplicate count.
    std::shared_ptr<std::atomic<bool>> madeUpLarge_ = std::make_shared<std::atomic<bool>>(false);
    bool scanFinished_ = false;
    // Released by the main thread once a paused scan phase has been captured.
    std::shared_ptr<std::binary_semaphore> resume_ = std::make_shared<std::binary_semaphore>(0);
    std::shared_ptr<std::atomic<bool>> stopPausing_ = std::make_shared<std::atomic<bool>>(false);
};

} // namespace quorlix
