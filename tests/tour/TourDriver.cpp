#include "TourDriver.h"

#include "engine/core/ScanCoordinator.h"

#include <QCommandLineParser>
#include <QDir>
#include <QDragEnterEvent>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>
#include <QUrl>
#include <QtTest/QTest>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>
#include <utility>

namespace quorlix {

namespace {

// Far more duplicates than a tour folder holds: 99,999 copies of one 3 MB photo among
// 1,234,567 photos.
ScanResult largeResult(const std::filesystem::path& folder) {
    ScanResult result;
    result.folder = folder;
    result.totalPhotos = 1'234'567;
    ScanResult::Group group;
    group.id = "exact:large";
    group.kind = ScanResult::Kind::exact;
    group.members.reserve(100'000);
    for (int i = 0; i < 100'000; ++i) {
        PhotoRecord record;
        record.id = "large" + std::to_string(i);
        record.fileURL = folder / ("IMG_" + std::to_string(i) + ".jpg");
        record.fileSizeBytes = 3'000'000;
        group.members.push_back(std::move(record));
    }
    group.keeperId = group.autoKeeperId = group.members.front().id;
    result.groups.push_back(std::move(group));
    return result;
}

} // namespace

std::unique_ptr<TourDriver> TourDriver::fromArguments(const QStringList& arguments,
                                                      QString* problem) {
    QCommandLineParser parser;
    const QCommandLineOption steps(QStringLiteral("steps"), {}, QStringLiteral("S"));
    const QCommandLineOption out(QStringLiteral("out"), {}, QStringLiteral("DIR"));
    const QCommandLineOption tag(QStringLiteral("tag"), {}, QStringLiteral("T"));
    const QCommandLineOption folder(QStringLiteral("folder"), {}, QStringLiteral("F"));
    const QCommandLineOption dest(QStringLiteral("dest"), {}, QStringLiteral("D"));
    const QCommandLineOption sync(QStringLiteral("sync"), {}, QStringLiteral("DIR"));
    const QCommandLineOption slices(QStringLiteral("slices"), {}, QStringLiteral("N,MS"));
    const QCommandLineOption size(QStringLiteral("size"), {}, QStringLiteral("WxH"));
    parser.addOptions({steps, out, tag, folder, dest, sync, slices, size});
    if (!parser.parse(arguments)) {
        *problem = parser.errorText();
        return nullptr;
    }
    std::unique_ptr<TourDriver> driver(new TourDriver);
    driver->steps_ = parser.value(steps).split(u',', Qt::SkipEmptyParts);
    driver->outDir_ = parser.value(out);
    driver->tag_ = parser.value(tag);
    driver->folder_ = parser.value(folder);
    driver->destination_ = parser.value(dest);
    driver->syncDir_ = parser.value(sync);
    const QStringList pieces = parser.value(slices).split(u',');
    if (pieces.size() == 2) {
        driver->sliceFiles_ = pieces[0].toInt();
        driver->slicePauseMs_ = pieces[1].toInt();
    }
    const QStringList sides = parser.value(size).split(u'x');
    if (sides.size() == 2)
        driver->windowSize_ = QSize(sides[0].toInt(), sides[1].toInt());
    return driver;
}

TourDriver::~TourDriver() {
    release();
}

void TourDriver::release() {
    stopPausing_->store(true);
    resume_->release();
}

AppModel::ScanFunction TourDriver::scanFunction() {
    return [this, resume = resume_, stop = stopPausing_,
            large = madeUpLarge_](const std::filesystem::path& folder,
                                  const ProgressCallback& progress, std::stop_token token) {
        if (large->exchange(false))
            return largeResult(folder);
        std::set<ScanProgress::Phase> seen;
        const auto pausing = [&](const ScanProgress& p) {
            progress(p);
            if (stop->load())
                return;
            const bool halfway = p.phase != ScanProgress::Phase::analyzing ||
                                 (p.total > 0 && p.current * 2 >= p.total);
            if (!halfway || !seen.insert(p.phase).second)
                return;
            const QString name = QStringLiteral("scan-") + QString::fromLatin1(phaseName(p.phase));
            QMetaObject::invokeMethod(
                this, [this, name] { checkpoint(name); }, Qt::QueuedConnection);
            resume->acquire();
        };
        return ScanCoordinator().scan(folder, pausing, std::move(token));
    };
}

void TourDriver::start(QQuickWindow* window, AppModel* model) {
    window_ = window;
    model_ = model;
    if (windowSize_.isValid())
        window->resize(windowSize_);
    if (sliceFiles_ > 0)
        model->setMoveSlicing(sliceFiles_, slicePauseMs_);
    connect(model, &AppModel::screenChanged, this, [this] {
        const auto screen = model_->screen();
        // Only the scan's own arrival; the steps below switch screens themselves.
        if (scanFinished_ ||
            (screen != AppModel::Screen::splash && screen != AppModel::Screen::results))
            return;
        scanFinished_ = true;
        // Long enough for the splash's entrance spring to settle on a busy machine.
        QTimer::singleShot(1500, this, [this] {
            capture(afterScanName_);
            runStep();
        });
    });
    QTimer::singleShot(1500, this, &TourDriver::runStep);
}

void TourDriver::runStep() {
    if (steps_.isEmpty() || !window_) {
        finish();
        return;
    }
    const QString step = steps_.takeFirst();
    if (step == QLatin1String("empty")) {
        capture(QStringLiteral("empty"));
        auto* empty = window_->findChild<QQuickItem*>(QStringLiteral("emptyState"));
        if (empty && empty->isVisible())
            std::printf("tour: empty state shown\n");
        std::fflush(stdout);
        runStep();
    } else if (step == QLatin1String("drop")) {
        sendDrag(QEvent::DragEnter);
        sendDrag(QEvent::DragMove);
        QTimer::singleShot(800, this, [this] {
            capture(QStringLiteral("drop"));
            const bool scanNext = !steps_.isEmpty() && steps_.front() == QLatin1String("scan");
            if (scanNext)
                steps_.removeFirst();
            sendDrag(scanNext ? QEvent::Drop : QEvent::DragLeave);
            if (!scanNext)
                QTimer::singleShot(600, this, &TourDriver::runStep);
        });
    } else if (step == QLatin1String("scan")) {
        // Captures arrive through the paused scan's checkpoints, then the finished screen.
    } else if (step == QLatin1String("share")) {
        click(QStringLiteral("shareResultButton"));
        QTimer::singleShot(700, this, [this] {
            capture(QStringLiteral("share-popup"));
            pressKey(Qt::Key_Escape);
            QTimer::singleShot(400, this, &TourDriver::runStep);
        });
    } else if (step == QLatin1String("large")) {
        // The finished scan's screen change captures it and moves on.
        afterScanName_ = QStringLiteral("splash-large");
        scanFinished_ = false;
        madeUpLarge_->store(true);
        model_->startScan(QUrl::fromLocalFile(folder_));
    } else if (step == QLatin1String("results")) {
        // What the splash's own button does.
        model_->setScreen(AppModel::Screen::results);
        std::printf("tour: results exact=%lld near=%lld\n",
                    static_cast<long long>(model_->exactDuplicateCount()),
                    static_cast<long long>(model_->nearDuplicateCount()));
        std::fflush(stdout);
        // Time for the thumbnails in view to arrive.
        QTimer::singleShot(1800, this, [this] {
            capture(QStringLiteral("results"));
            runStep();
        });
    } else if (step == QLatin1String("scroll")) {
        scrollGroups();
        QTimer::singleShot(1500, this, [this] {
            capture(QStringLiteral("results-scrolled"));
            runStep();
        });
    } else if (step == QLatin1String("quicklook")) {
        if (model_ && model_->result() && !model_->result()->groups.empty())
            model_->openQuickLook(
                QString::fromStdString(model_->result()->groups.front().members.front().id));
        QTimer::singleShot(2000, this, [this] {
            capture(QStringLiteral("quicklook"));
            if (model_)
                model_->closeQuickLook();
            QTimer::singleShot(400, this, &TourDriver::runStep);
        });
    } else if (step == QLatin1String("choose")) {
        if (!steps_.isEmpty() && steps_.front() == QLatin1String("scan"))
            steps_.removeFirst();
        click(QStringLiteral("chooseFolderButton"));
        AppModel* model = model_;
        // The scan's checkpoints and its finished screen carry the tour on.
        answerFolderDialog(
            step, folder_, [model] { return model && model->screen() != AppModel::Screen::empty; },
            [] {});
    } else if (runWindowStep(step)) {
    } else if (runMoveStep(step)) {
    } else {
        std::fprintf(stderr, "tour: unknown step %s\n", qPrintable(step));
        runStep();
    }
}

// Down to the last exact group, stopping inside its card so that its section header is
// pinned and the look-alike section starts below.
void TourDriver::scrollGroups() {
    auto* list = window_ ? window_->findChild<QQuickItem*>(QStringLiteral("groupList")) : nullptr;
    if (!list || !model_ || !model_->result())
        return;
    const auto& groups = model_->result()->groups;
    const auto exact = std::count_if(groups.begin(), groups.end(), [](const auto& g) {
        return g.kind == ScanResult::Kind::exact;
    });
    constexpr int beginning = 1; // ListView.Beginning
    QMetaObject::invokeMethod(list, "positionViewAtIndex",
                              Q_ARG(int, int(std::max<qsizetype>(0, exact - 1))),
                              Q_ARG(int, beginning));
    list->setProperty("contentY", list->property("contentY").toReal() + 90);
}

bool TourDriver::runWindowStep(const QString& step) {
    const auto show = [this](const QString& name, const QString& objectName) {
        QTimer::singleShot(900, this, [this, name, objectName] {
            const QQuickItem* shown = visibleItem(objectName);
            std::printf("tour: %s shown=%d\n", qPrintable(name), int(shown != nullptr));
            std::fflush(stdout);
            capture(name);
            pressKey(Qt::Key_Escape);
            QTimer::singleShot(500, this, &TourDriver::runStep);
        });
    };
    if (step == QLatin1String("preferences")) {
        QObject* dialog = window_->findChild<QObject*>(QStringLiteral("preferencesDialog"));
        if (dialog)
            QMetaObject::invokeMethod(dialog, "open");
        show(QStringLiteral("preferences"), QStringLiteral("theme_system"));
    } else if (step == QLatin1String("about")) {
        QObject* dialog = window_->findChild<QObject*>(QStringLiteral("aboutDialog"));
        if (dialog)
            QMetaObject::invokeMethod(dialog, "open");
        show(QStringLiteral("about"), QStringLiteral("aboutText"));
    } else if (step == QLatin1String("focus")) {
        // Keyboard only: Tab until a thumbnail holds the focus, as a user would.
        auto tries = std::make_shared<int>(0);
        auto* poll = new QTimer(this);
        poll->setInterval(150);
        connect(poll, &QTimer::timeout, this, [this, poll, tries] {
            QQuickItem* focused = window_ ? window_->activeFocusItem() : nullptr;
            const bool onThumb =
                focused && focused->objectName().startsWith(QLatin1String("thumbCell"));
            if (onThumb || ++*tries > 40) {
                poll->stop();
                poll->deleteLater();
                std::printf("tour: focus on %s\n",
                            focused ? qPrintable(focused->objectName()) : "nothing");
                std::fflush(stdout);
                QTimer::singleShot(300, this, [this] {
                    capture(QStringLiteral("focus"));
                    runStep();
                });
                return;
            }
            pressKey(Qt::Key_Tab);
        });
        poll->start();
    } else {
        return false;
    }
    return true;
}

bool TourDriver::runMoveStep(const QString& step) {
    AppModel* model = model_;
    if (!model)
        return false;
    const auto next = [this] {
        QTimer::singleShot(300, this, &TourDriver::runStep);
    };
    if (step == QLatin1String("confirm-trash")) {
        model->requestMoveToTrash();
        waitFor(
            step, [model] { return model->hasPendingMove(); },
            [this] {
                QTimer::singleShot(900, this, [this] {
                    capture(QStringLiteral("move-confirm-trash"));
                    runStep();
                });
            });
    } else if (step == QLatin1String("cancel")) {
        pressKey(Qt::Key_Escape);
        waitFor(
            step, [model] { return !model->hasPendingMove(); },
            [this, next] {
                std::printf("tour: cancelled\n");
                std::fflush(stdout);
                next();
            });
    } else if (step == QLatin1String("choose-folder")) {
        // As a user does: the Move menu, then "To a folder…".
        click(QStringLiteral("moveMenuButton"));
        QTimer::singleShot(600, this, [this, model] {
            click(QStringLiteral("moveToFolder"));
            QTimer::singleShot(800, this, [this, model] {
                const QUrl folder = QUrl::fromLocalFile(destination_);
                answerFolderDialog(
                    QStringLiteral("choose-folder"), destination_,
                    [model] { return model->hasPendingMove() && !model->pendingMoveToTrash(); },
                    [this, model, folder] {
                        if (model->pendingMoveFolder().adjusted(QUrl::StripTrailingSlash) !=
                            folder.adjusted(QUrl::StripTrailingSlash)) {
                            fail(QStringLiteral("the dialog gave another folder: ") +
                                 model->pendingMoveFolder().toString());
                            return;
                        }
                        QTimer::singleShot(900, this, [this] {
                            capture(QStringLiteral("move-confirm-folder"));
                            runStep();
                        });
                    });
            });
        });
    } else if (step == QLatin1String("confirm")) {
        if (!model->hasPendingMove()) {
            fail(QStringLiteral("nothing to confirm"));
            return true;
        }
        // A paced long move is captured while its progress shows.
        auto shot = std::make_shared<QMetaObject::Connection>();
        *shot = connect(model, &AppModel::moveProgressChanged, this, [this, model, shot] {
            if (!model->moveInProgress())
                return;
            disconnect(*shot);
            QTimer::singleShot(700, this, [this, model] {
                if (model->moveInProgress())
                    capture(QStringLiteral("move-progress"));
            });
        });
        pressKey(Qt::Key_Return);
        waitFor(
            step,
            [model] {
                return !model->hasPendingMove() && !model->moveInProgress() && model->hasToast();
            },
            [this, model, shot] {
                disconnect(*shot);
                const auto moved = model->lastMove() ? model->lastMove()->moves.size() : 0;
                std::printf("tour: moved count=%zu undoable=%d text=%s\n", moved,
                            int(model->toastUndoable()), qPrintable(model->toastText()));
                std::fflush(stdout);
                QTimer::singleShot(900, this, [this] {
                    capture(QStringLiteral("toast-undo"));
                    runStep();
                });
            });
    } else if (step == QLatin1String("undo")) {
        if (!model->toastUndoable()) {
            fail(QStringLiteral("no notice to undo"));
            return true;
        }
        pressKey(Qt::Key_Z, Qt::ControlModifier);
        waitFor(
            step, [model] { return !model->canUndo() && !model->moveInProgress(); },
            [this, model] {
                std::printf("tour: undone text=%s\n", qPrintable(model->toastText()));
                std::fflush(stdout);
                QTimer::singleShot(900, this, [this] {
                    capture(QStringLiteral("toast-plain"));
                    runStep();
                });
            });
    } else if (step.startsWith(QLatin1String("wait:"))) {
        const QString name = step.mid(5);
        std::printf("tour: waiting %s\n", qPrintable(name));
        std::fflush(stdout);
        const QString file = QDir(syncDir_).filePath(name);
        waitFor(
            step, [file] { return QFile::exists(file); }, next, 600000);
    } else {
        return false;
    }
    return true;
}

QQuickItem* TourDriver::visibleItem(const QString& objectName) const {
    if (!window_)
        return nullptr;
    // Popups hang their items from the window's overlay; several dialogs share a name, and
    // only the open one counts.
    for (QQuickItem* item : window_->findChildren<QQuickItem*>(objectName))
        if (item->isVisible() && item->window() == window_)
            return item;
    return nullptr;
}

void TourDriver::answerFolderDialog(const QString& step, const QString& path,
                                    std::function<bool()> done, std::function<void()> then) {
    waitFor(
        step + QStringLiteral(" dialog"),
        [this] { return visibleItem(QStringLiteral("folderAccept")) != nullptr; },
        [this, step, path, done, then] {
            QObject* dialog = nullptr;
            for (QObject* candidate :
                 window_->findChildren<QObject*>(QStringLiteral("folderChooser")))
                if (candidate->property("opened").toBool())
                    dialog = candidate;
            std::printf("tour: panel title=%s\n",
                        dialog ? qPrintable(dialog->property("title").toString()) : "");
            std::printf("tour: dialog shows %s\n",
                        dialog ? qPrintable(dialog->property("folder").toUrl().toLocalFile()) : "");
            std::fflush(stdout);
            // Into the path field, everything selected, the path typed over it; then the
            // accept button, with no Return: what the dialog shows is what it answers.
            click(QStringLiteral("folderPath"));
            QTimer::singleShot(200, this, [this, step, path, done, then] {
                pressKey(Qt::Key_A, Qt::ControlModifier);
                QTimer::singleShot(300, this, [this, path] { typeText(path); });
                QTimer::singleShot(900, this, [this, step, done, then] {
                    capture(QStringLiteral("folder-dialog-") + step);
                    click(QStringLiteral("folderAccept"));
                    waitFor(step, done, then, 30000);
                });
            });
        },
        30000);
}

void TourDriver::typeText(const QString& text) {
    // Qt Test types only single-byte characters into a window: the tour's paths are ASCII.
    whenActive([this, text] {
        for (const QChar c : text)
            if (window_)
                QTest::keyClick(window_.data(), c.toLatin1());
    });
}

void TourDriver::whenActive(std::function<void()> act) {
    if (!window_)
        return;
    if (window_->isActive()) {
        act();
        return;
    }
    window_->requestActivate();
    waitFor(
        QStringLiteral("window activation"), [this] { return window_ && window_->isActive(); },
        std::move(act), 30000);
}

void TourDriver::waitFor(const QString& what, std::function<bool()> ready,
                         std::function<void()> then, int timeoutMs) {
    auto* poll = new QTimer(this);
    poll->setInterval(100);
    auto waited = std::make_shared<int>(0);
    connect(poll, &QTimer::timeout, this, [this, poll, what, ready, then, waited, timeoutMs] {
        if (ready()) {
            poll->deleteLater();
            poll->stop();
            then();
        } else if ((*waited += poll->interval()) >= timeoutMs) {
            poll->deleteLater();
            poll->stop();
            fail(QStringLiteral("timed out at ") + what);
        }
    });
    poll->start();
}

void TourDriver::fail(const QString& why) {
    std::fprintf(stderr, "tour: FAILED: %s\n", qPrintable(why));
    std::fflush(stderr);
    release();
    QCoreApplication::exit(3);
}

void TourDriver::pressKey(int key, Qt::KeyboardModifiers modifiers) {
    // Through the window system's path, so that the window's shortcuts see the keys; they
    // only answer in the active window.
    whenActive([this, key, modifiers] {
        if (window_)
            QTest::keyClick(window_.data(), Qt::Key(key), modifiers);
    });
}

void TourDriver::checkpoint(const QString& name) {
    QTimer::singleShot(700, this, [this, name] {
        capture(name);
        resume_->release();
    });
}

void TourDriver::capture(const QString& name) {
    if (!window_ || outDir_.isEmpty())
        return;
    const QString file =
        QDir(outDir_).filePath(tag_.isEmpty() ? name + QStringLiteral(".png")
                                              : name + u'-' + tag_ + QStringLiteral(".png"));
    if (!window_->grabWindow().save(file))
        std::fprintf(stderr, "tour: could not write %s\n", qPrintable(file));
    else
        std::printf("tour: wrote %s\n", qPrintable(file));
    std::fflush(stdout);
}

void TourDriver::sendDrag(int type) {
    if (!window_)
        return;
    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(folder_)});
    const QPointF at(window_->width() / 2.0, window_->height() / 2.0);
    if (type == QEvent::DragLeave) {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(window_, &leave);
    } else if (type == QEvent::Drop) {
        QDropEvent drop(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window_, &drop);
    } else if (type == QEvent::DragEnter) {
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window_, &enter);
    } else {
        QDragMoveEvent move(at.toPoint(), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window_, &move);
    }
    // The events only borrow the data; keep it alive until the drag is over.
    mime->setParent(this);
}

void TourDriver::click(const QString& objectName) {
    QQuickItem* item = visibleItem(objectName);
    if (!item) {
        std::fprintf(stderr, "tour: no %s to click\n", qPrintable(objectName));
        return;
    }
    const QPointF at = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    const QPointF global = window_->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(window_, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(window_, &release);
}

void TourDriver::finish() {
    release();
    if (window_)
        window_->close();
}

} // namespace quorlix
