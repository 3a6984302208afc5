#pragma once

#include "app/QuorlixConfig.h"

#include <QDBusVariant>
#include <QObject>
#include <QPointer>
#include <QtQml/qqml.h>

class QJSEngine;
class QPalette;
class QQmlEngine;

namespace quorlix {

class AppModel;

// Whether the window is drawn dark: the stored AppTheme forces an appearance, `system` follows
// the desktop: its portal's org.freedesktop.appearance color-scheme when it states one, else
// its palette or a GTK theme named "…:dark".
class Appearance : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(bool dark READ dark NOTIFY darkChanged)

public:
    explicit Appearance(AppModel* model, QObject* parent = nullptr);
    static Appearance* create(QQmlEngine* qmlEngine, QJSEngine* jsEngine);

    bool dark() const { return dark_; }

    static bool isDark(AppTheme theme, bool systemDark);
    // A palette whose window is darker than its text is a dark one.
    static bool paletteIsDark(const QPalette& palette);
    static bool systemPrefersDark();
    // The portal's color-scheme value (1 dark, 2 light, anything else no preference) decided
    // over the fallback rule.
    static bool systemPrefersDark(int portalScheme, bool fallback);

Q_SIGNALS:
    void darkChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void portalSettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void update();
    void readPortalScheme();

    QPointer<AppModel> model_;
    bool dark_ = false;
    int portalScheme_ = 0;
};

} // namespace quorlix
