#include "app/Notices.h"

namespace quorlix {

void Notices::setErrorMessage(const QString& message) {
    errorMessage_ = message;
    Q_EMIT errorMessageChanged();
}

void Notices::setToast(const std::optional<Toast>& toast) {
    toast_ = toast;
    Q_EMIT toastChanged();
}

void Notices::showToast(const QString& text, bool undoable) {
    setToast(Toast{text, undoable, QUuid::createUuid()});
}

QString Notices::toastId() const {
    return toast_ ? toast_->id.toString(QUuid::WithoutBraces) : QString();
}

void Notices::dismissToast(const QString& id) {
    if (toast_ && toastId() == id)
        setToast(std::nullopt);
}

} // namespace quorlix
