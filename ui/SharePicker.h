#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QtQml/qqml.h>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

class QMimeData;

namespace quorlix {

class AppModel;

// What a share button offers once pressed: it asks the model for the items of its kind, then
// copies them, shows them in the file manager, mails them or saves a copy. Every failure ends in
// one notice to the user (the model's alert) and its cause in the log; success is a short toast.
class SharePicker : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_MOC_INCLUDE("app/AppModel.h")
    Q_PROPERTY(quorlix::AppModel* appModel READ appModel WRITE setAppModel NOTIFY appModelChanged)
    // "result" (the card and its caption) or "keepers" (the kept photos).
    Q_PROPERTY(QString kind READ kind WRITE setKind NOTIFY kindChanged)
    Q_PROPERTY(QList<QUrl> items READ items NOTIFY itemsChanged)
    Q_PROPERTY(bool canSendByEmail READ canSendByEmail NOTIFY emailProgramChanged)

public:
    explicit SharePicker(QObject* parent = nullptr);
    ~SharePicker() override;

    QString kind() const { return kind_; }
    void setKind(const QString& kind);
    QList<QUrl> items() const { return items_; }
    bool canSendByEmail() const { return !emailProgram_.isEmpty(); }

    AppModel* appModel() const;
    void setAppModel(AppModel* model);
    // The program behind "Send by e-mail": xdg-email from PATH by default; empty offers none.
    void setEmailProgram(const QString& program);

    // Asks the model for the items, as the button is pressed; false when there is nothing to
    // offer (the picker stays shut). A result whose card cannot be made says so.
    Q_INVOKABLE bool prepare();
    // The card image with its caption, or the files as a file list a file manager can paste.
    Q_INVOKABLE bool copyToClipboard();
    Q_INVOKABLE bool showInFileManager();
    // Starts the mail program; its outcome arrives later as emailFinished.
    Q_INVOKABLE bool sendByEmail();
    // Copies every item into `folder`, each under a name nothing holds yet.
    Q_INVOKABLE bool saveCopyTo(const QUrl& folder);

    // Clipboard contents for files: text/uri-list, the GNOME file-manager form and the paths.
    static QMimeData* filesMimeData(const QList<QUrl>& files);
    // Clipboard contents for the card: the image, with the caption as its text.
    static QMimeData* imageMimeData(const QImage& image, const QString& caption);
    // Arguments of xdg-email: the body when there is one, then each file as an attachment.
    static QStringList emailArguments(const QList<QUrl>& attachments, const QString& body);

Q_SIGNALS:
    void appModelChanged();
    void kindChanged();
    void itemsChanged();
    void emailProgramChanged();
    // The mail program ended; `ok` when it reported success.
    void emailFinished(bool ok);

private:
    bool fail(const QString& notice, const std::string& cause);
    void notify(const QString& text);
    void logAction(const char* action) const;
    std::vector<std::filesystem::path> paths() const;

    QString kind_ = QStringLiteral("result");
    QList<QUrl> items_;
    QPointer<AppModel> model_;
    QString emailProgram_;
};

} // namespace quorlix
