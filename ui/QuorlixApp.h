#pragma once

#include "app/AppModel.h"

#include <QStringList>
#include <QUrl>
#include <memory>

class QQmlApplicationEngine;
class QQuickWindow;
class QUrl;

namespace quorlix {

class AppModel;

// The application entry: owns the one AppModel for the life of the process, applies the
// settings, registers the fonts and opens the window.
//
// Test seam, for driver programs that run the real window (quorlix-tour); the shipped start uses
// neither: the constructor's `scan` replaces the coordinator's scan, and load() with window()
// and model() hand the driver what it steers before exec() runs the loop.
class QuorlixApp {
public:
    explicit QuorlixApp(AppModel::ScanFunction scan = nullptr);
    ~QuorlixApp();

    // Loads the window once; nullptr after the cause has been logged and printed.
    QQuickWindow* load();
    QQuickWindow* window() const { return window_; }
    AppModel& model() const { return *model_; }
    // The folder given on the command line: scanned as soon as the window shows.
    void scanAtStart(const QUrl& folder) { startFolder_ = folder; }
    // Loads the window if needed and runs the event loop; returns the process's exit code.
    int exec();

    // Registers the share card's fonts for this process; returns the families that loaded.
    // A missing or unreadable file is skipped silently (the system font takes its place).
    static QStringList registerFonts(const QString& directory = QStringLiteral(":/fonts"));

    // Loads the root QML file; the window, or nullptr with one sentence in `failure` (naming a
    // missing QML module and its package when that is the cause).
    static QQuickWindow* loadWindow(QQmlApplicationEngine& engine, const QUrl& url,
                                    QString* failure);

private:
    std::unique_ptr<AppModel> model_;
    std::unique_ptr<QQmlApplicationEngine> engine_;
    QQuickWindow* window_ = nullptr;
    QUrl startFolder_;
};

} // namespace quorlix
