#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqml.h>

class QJSEngine;
class QQmlEngine;

namespace quorlix {

class AppModel;

// The stored appearance and language as the View menu and the preferences change them, by
// their stored names: theme "system", "light", "dark"; language "system", "en", "it", "es".
// A new appearance shows at once; a new language at the next start (the texts are read once).
class Preferences : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString theme READ theme WRITE setTheme NOTIFY changed)
    Q_PROPERTY(QString language READ language WRITE setLanguage NOTIFY changed)
    Q_PROPERTY(bool restartNeeded READ restartNeeded NOTIFY changed)
    Q_PROPERTY(QString version READ version CONSTANT)
    Q_PROPERTY(QString licence READ licence CONSTANT)

public:
    explicit Preferences(AppModel* model, QObject* parent = nullptr);
    static Preferences* create(QQmlEngine*, QJSEngine*);

    QString theme() const;
    void setTheme(const QString& theme);
    QString language() const;
    void setLanguage(const QString& language);
    // The stored language is not the one this run shows.
    bool restartNeeded() const { return language() != launchLanguage_; }
    static QString version();
    static QString licence();

Q_SIGNALS:
    void changed();

private:
    QPointer<AppModel> model_;
    QString launchLanguage_;
};

} // namespace quorlix
