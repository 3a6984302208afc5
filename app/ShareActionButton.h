#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>

namespace quorlix {

// A button that asks its owner for the items to share at the moment it is pressed and opens
// the share picker anchored to itself, or to the window's content when its anchor is unknown.
class ShareActionButton : public QObject {
    Q_OBJECT
    Q_PROPERTY(QObject* anchor READ anchor WRITE setAnchor NOTIFY anchorChanged)

public:
    using Prepare = std::function<QList<QUrl>()>;

    explicit ShareActionButton(Prepare prepare, QObject* parent = nullptr);

    QObject* anchor() const { return anchor_; }
    void setAnchor(QObject* anchor);
    // Where the picker opens when no anchor is known yet.
    void setFallbackAnchor(QObject* anchor) { fallbackAnchor_ = anchor; }

    // Returns whether a picker was asked for.
    Q_INVOKABLE bool press();

Q_SIGNALS:
    void anchorChanged();
    // The view shows the picker for `items` next to `anchor`.
    void pickerRequested(const QList<QUrl>& items, QObject* anchor);

private:
    Prepare prepare_;
    QPointer<QObject> anchor_;
    QPointer<QObject> fallbackAnchor_;
};

} // namespace quorlix
