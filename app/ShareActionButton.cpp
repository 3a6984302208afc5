#include "app/ShareActionButton.h"

namespace quorlix {

ShareActionButton::ShareActionButton(Prepare prepare, QObject* parent)
    : QObject(parent), prepare_(std::move(prepare)) {}

void ShareActionButton::setAnchor(QObject* anchor) {
    if (anchor_ == anchor)
        return;
    anchor_ = anchor;
    Q_EMIT anchorChanged();
}

bool ShareActionButton::press() {
    const QList<QUrl> items = prepare_ ? prepare_() : QList<QUrl>();
    if (items.isEmpty())
        return false;
    QObject* anchor = anchor_ ? anchor_.data() : fallbackAnchor_.data();
    if (!anchor)
        return false;
    Q_EMIT pickerRequested(items, anchor);
    return true;
}

} // namespace quorlix
