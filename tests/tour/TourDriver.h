#pragma once

#include "app/AppModel.h"

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <semaphore>

class QQuickItem;
class QQuickWindow;

namespace quorlix {

// Drives the real window of quorlix-tour through its screens for the screenshot tour, the smoke
// test and the end-to-end test. Every step goes through what the window's own controls call
// (keys through the shortcuts, clicks on the buttons, typing in the folder dialog).
// Options of quorlix-tour:
//   --steps S       comma-separated steps:
//                     empty, drop, scan (drop then every scan phase),
//                     choose         "Choose folder…", the --folder path typed into the
//                                    window's folder dialog, accept (then every scan phase)
//                     share          open the share picker on the splash
//                     large          a made-up result with a very large duplicate count
//                     results        leave the splash for the results
//                     scroll         half way down the groups
//                     quicklook      the first photo enlarged
//                     preferences    the preferences dialog
//                     about          the About dialog
//                     focus          Tab to the first thumbnail, its focus ring shown
//                     confirm-trash  ask to move the others to the Trash
//                     cancel         Escape on the confirmation
//                     choose-folder  "Move the others…", "To a folder…", the --dest path
//                                    typed into the folder dialog, accept
//                     confirm        Return on the confirmation, until the move's notice
//                     undo           Ctrl+Z, until everything is back
//                     wait:NAME      print "tour: waiting NAME", go on once the file
//                                    SYNC/NAME exists
//   --out DIR       folder for the PNGs (none: nothing is written)
//   --tag T         suffix of each PNG name ("light" gives empty-light.png)
//   --folder F      the folder dragged onto the window or typed into its dialog
//   --dest D        the folder typed into the destination dialog
//   --sync DIR      where wait:NAME looks for its file
//   --slices N,MS   moves in slices of N files, MS milliseconds apart
//   --size WxH      the window's size, for screenshots of a given size
// After the last step the window is closed like a user would, which quits the application.
// A step whose condition never comes ends the application with status 3.
class TourDriver : public QObject {
    Q_OBJECT

public:
    // nullptr with a sentence in `problem` when the options do not parse.
    static std::unique_ptr<TourDriver> fromArguments(const QStringList& arguments,
                                                     QString* problem);
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
    // Polls `ready` until it holds, then runs `then`; gives up after `timeoutMs`.
    void waitFor(const QString& what, std::function<bool()> ready, std::function<void()> then,
                 int timeoutMs = 120000);
    void fail(const QString& why);
    void pressKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    bool runMoveStep(const QString& step);
    bool runWindowStep(const QString& step);
    // Types `path` into the open folder dialog and accepts; `then` runs once `done` holds.
    void answerFolderDialog(const QString& step, const QString& path, std::function<bool()> done,
                            std::function<void()> then);
    QQuickItem* visibleItem(const QString& objectName) const;
    void typeText(const QString& text);
    // Runs `act` at once in the active window, or once the window has been activated.
    void whenActive(std::function<void()> act);

    QStringList steps_;
    QString outDir_;
    QString tag_;
    QString folder_;
    QString destination_;
    QString syncDir_;
    int sliceFiles_ = 0;
    int slicePauseMs_ = 0;
    QSize windowSize_;
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
