#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QQmlApplicationEngine;
class QQuickWindow;
class QUrl;

namespace quorlix {

class AppModel;
class TourDriver;

// The application entry: owns the one AppModel for the life of the process, applies the
// settings, registers the fonts and opens the window.
class QuorlixApp {
public:
    QuorlixApp();
    ~QuorlixApp();

    // A folder (or a file, standing for its folder) to scan as soon as the window shows, as
    // when it is dropped on the window. Call before exec().
    void setStartFolder(const QString& path) { startFolder_ = path; }

    // Loads the window and runs the event loop; returns the process's exit code.
    int exec();

    // Registers the share card's fonts for this process; returns the families that loaded.
    // A missing or unreadable file is skipped silently (the system font takes its place).
    static QStringList registerFonts(const QString& directory = QStringLiteral(":/fonts"));

    // Loads the root QML file; the window, or nullptr with one sentence in `failure` (naming a
    // missing QML module and its package when that is the cause).
    static QQuickWindow* loadWindow(QQmlApplicationEngine& engine, const QUrl& url,
                                    QString* failure);

private:
    std::unique_ptr<TourDriver> tour_;
    std::unique_ptr<AppModel> model_;
    std::unique_ptr<QQmlApplicationEngine> engine_;
    QString startFolder_;
};

} // namespace quorlix
