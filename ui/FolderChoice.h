#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWindow>
#include <QtQml/qqml.h>

class QJSEngine;
class QQmlEngine;

namespace quorlix {

class AppModel;

// Where a folder choice starts, what the window's own folder dialog may do, and the desktop's
// own chooser (the xdg-desktop-portal FileChooser over D-Bus) when one answers. The window's
// dialog is only the fallback: its accept always means the folder it shows.
class FolderChoice : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    // `model` keeps the last folder; without one nothing is remembered. No default: QML would
    // construct the singleton itself and never call create().
    explicit FolderChoice(AppModel* model, QObject* parent = nullptr);
    ~FolderChoice() override;
    // Remembers through the AppModel of the engine that asks.
    static FolderChoice* create(QQmlEngine* qmlEngine, QJSEngine* jsEngine);

    // The last folder chosen while it is still a folder, else the XDG Pictures folder, else home.
    Q_INVOKABLE QUrl startFolder() const;
    static QUrl startFolder(const QString& lastFolder);
    // Stores `folder` as the next choice's start.
    Q_INVOKABLE void remember(const QUrl& folder);

    // A typed path ("~" for home, relative to `base`) as a folder URL; empty when it names no
    // existing folder.
    Q_INVOKABLE static QUrl resolve(const QString& typed, const QUrl& base);
    // The folder above `folder`; `folder` itself at the root.
    Q_INVOKABLE static QUrl parentFolder(const QUrl& folder);
    // Makes `name` inside `parent`; its URL, or empty when the name is not a plain new name or
    // the folder could not be made.
    Q_INVOKABLE static QUrl createFolder(const QUrl& parent, const QString& name);

    // Asks the desktop's chooser; false when none answers (the caller shows its own dialog).
    // The answer arrives later as portalChosen with the same `purpose` (never on cancel).
    Q_INVOKABLE bool openPortal(const QString& title, const QString& acceptLabel, const QUrl& start,
                                const QString& purpose, QWindow* parent = nullptr);

Q_SIGNALS:
    void portalChosen(const QUrl& folder, const QString& purpose);

private Q_SLOTS:
    void portalResponse(uint response, const QVariantMap& results);

private:
    QPointer<AppModel> model_;
    QString pendingPurpose_;
    QString pendingHandle_;
};

} // namespace quorlix
