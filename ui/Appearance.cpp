#include "ui/Appearance.h"

#include "app/AppModel.h"
#include "ui/AppModelForeign.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace quorlix {

Appearance::Appearance(AppModel* model, QObject* parent) : QObject(parent), model_(model) {
    if (model_)
        connect(model_, &AppModel::configChanged, this, &Appearance::update);
    if (qApp)
        qApp->installEventFilter(this);
    update();
}

Appearance* Appearance::create(QQmlEngine*, QJSEngine*) {
    return new Appearance(AppModelForeign::instance());
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
    const bool dark = isDark(theme, theme == AppTheme::system && systemPrefersDark());
    if (dark == dark_)
        return;
    dark_ = dark;
    Q_EMIT darkChanged();
}

} // namespace quorlix
