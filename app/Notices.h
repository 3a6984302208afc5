#pragma once

#include <QObject>
#include <QString>
#include <QUuid>
#include <optional>

namespace quorlix {

// What the window tells the user: a blocking error message, and one toast at a time.
class Notices : public QObject {
    Q_OBJECT

public:
    struct Toast {
        QString text;
        bool undoable = false;
        QUuid id;
        friend bool operator==(const Toast&, const Toast&) = default;
    };

    using QObject::QObject;

    QString errorMessage() const { return errorMessage_; } // null when there is none
    void setErrorMessage(const QString& message);

    const std::optional<Toast>& toast() const { return toast_; }
    void setToast(const std::optional<Toast>& toast);
    // A new toast replaces the one shown, under a fresh id.
    void showToast(const QString& text, bool undoable);
    QString toastId() const;
    // Clears the toast only while it is still the one with this id (its timer ran out).
    void dismissToast(const QString& id);

Q_SIGNALS:
    void errorMessageChanged();
    void toastChanged();

private:
    QString errorMessage_;
    std::optional<Toast> toast_;
};

} // namespace quorlix
