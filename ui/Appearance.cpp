#include "ui/Appearance.h"

#include "app/AppModel.h"
#include "ui/AppModelForeign.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace quorlix {

Appearance::Appearance(AppModel* model, QObject* parent) : QObject(parent), model_(model) {
    if (model_)
        connect(model_, &AppModel::configChanged, this, &Appearance::update);
    if (qApp)
        qApp->installEventFilter(this);
    readPortalScheme();
    update();
}

namespace {
constexpr auto settingsService = "org.freedesktop.portal.Desktop";
constexpr auto settingsPath = "/org/freedesktop/portal/desktop";
constexpr auto settingsInterface = "org.freedesktop.portal.Settings";
} // namespace

void Appearance::readPortalScheme() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(QLatin1String(settingsService), QLatin1String(settingsPath),
                QLatin1String(settingsInterface), QStringLiteral("SettingChanged"), this,
                SLOT(portalSettingChanged(QString, QString, QDBusVariant)));
    QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(settingsService), QLatin1String(settingsPath),
                                       QLatin1String(settingsInterface), QStringLiteral("Read"));
    call << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme");
    // Short: without a portal the start must not wait.
    const QDBusMessage reply = bus.call(call, QDBus::Block, 1000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return;
    // Read answers a variant holding the variant of the value.
    QVariant value = reply.arguments().constFirst();
    while (value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    portalScheme_ = value.toInt();
}

void Appearance::portalSettingChanged(const QString& group, const QString& key,
                                      const QDBusVariant& value) {
    if (group != QLatin1String("org.freedesktop.appearance") ||
        key != QLatin1String("color-scheme"))
        return;
    portalScheme_ = value.variant().toInt();
    update();
}

bool Appearance::systemPrefersDark(int portalScheme, bool fallback) {
    if (portalScheme == 1)
        return true;
    if (portalScheme == 2)
        return false;
    return fallback;
}

Appearance* Appearance::create(QQmlEngine* qmlEngine, QJSEngine*) {
    return new Appearance(AppModelForeign::of(qmlEngine));
}

bool Appearance::isDark(AppTheme theme, bool systemDark) {
    if (const auto scheme = colorScheme(theme))
        return *scheme == ColorScheme::dark;
    return systemDark;
}

bool Appearance::paletteIsDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightnessF() <
           palette.color(QPalette::WindowText).lightnessF();
}

bool Appearance::systemPrefersDark() {
    const QByteArray gtkTheme = qgetenv("GTK_THEME");
    if (gtkTheme.endsWith(":dark"))
        return true;
    return qApp && paletteIsDark(QGuiApplication::palette());
}

bool Appearance::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange)
        update();
    return QObject::eventFilter(watched, event);
}

void Appearance::update() {
    const AppTheme theme = model_ ? model_->config().theme : AppTheme::system;
    const bool dark = isDark(theme, theme == AppTheme::system &&
                                        systemPrefersDark(portalScheme_, systemPrefersDark()));
    if (dark == dark_)
        return;
    dark_ = dark;
    Q_EMIT darkChanged();
}

} // namespace quorlix
