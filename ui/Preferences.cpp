#include "ui/Preferences.h"

#include "app/AppModel.h"
#include "ui/AppModelForeign.h"

#include <QCoreApplication>

#ifndef QUORLIX_LICENCE
#define QUORLIX_LICENCE "GPL-3.0-or-later"
#endif

namespace quorlix {

Preferences::Preferences(AppModel* model, QObject* parent) : QObject(parent), model_(model) {
    launchLanguage_ = language();
    if (model_)
        connect(model_, &AppModel::configChanged, this, &Preferences::changed);
}

Preferences* Preferences::create(QQmlEngine* qmlEngine, QJSEngine*) {
    return new Preferences(AppModelForeign::of(qmlEngine));
}

QString Preferences::theme() const {
    return storedText(model_ ? model_->config().theme : AppTheme::system);
}

void Preferences::setTheme(const QString& theme) {
    const auto value = appThemeFromStored(theme);
    if (!model_ || !value || *value == model_->config().theme)
        return;
    QuorlixConfig config = model_->config();
    config.theme = *value;
    model_->setConfig(config);
}

QString Preferences::language() const {
    return storedText(model_ ? model_->config().language : AppLanguage::system);
}

void Preferences::setLanguage(const QString& language) {
    const auto value = appLanguageFromStored(language);
    if (!model_ || !value || *value == model_->config().language)
        return;
    QuorlixConfig config = model_->config();
    config.language = *value;
    model_->setConfig(config);
    // The launch reads this override, not the record.
    applyLanguageOverride(*value);
}

QString Preferences::version() {
    return QCoreApplication::applicationVersion();
}

QString Preferences::licence() {
    return QStringLiteral(QUORLIX_LICENCE);
}

} // namespace quorlix
