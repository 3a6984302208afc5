#include "ui/SharePicker.h"

#include "app/AppModel.h"
#include "app/FileMover.h"
#include "app/FileUrl.h"
#include "app/L.h"
#include "app/ShareCard.h"
#include "engine/core/Log.h"

#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QUuid>

namespace quorlix {

SharePicker::SharePicker(QObject* parent)
    : QObject(parent), emailProgram_(QStandardPaths::findExecutable(QStringLiteral("xdg-email"))) {}

SharePicker::~SharePicker() = default;

void SharePicker::setKind(const QString& kind) {
    if (kind_ == kind)
        return;
    kind_ = kind;
    Q_EMIT kindChanged();
}

AppModel* SharePicker::appModel() const {
    return model_;
}

void SharePicker::setAppModel(AppModel* model) {
    if (model_ == model)
        return;
    model_ = model;
    Q_EMIT appModelChanged();
}

void SharePicker::setEmailProgram(const QString& program) {
    if (emailProgram_ == program)
        return;
    emailProgram_ = program;
    Q_EMIT emailProgramChanged();
}

bool SharePicker::prepare() {
    items_.clear();
    if (model_) {
        if (kind_ == QLatin1String("keepers"))
            items_ = model_->shareKeepersItems();
        else if (kind_ == QLatin1String("result"))
            items_ = model_->shareResultItems();
        else
            log::error(log::Category::share, "Unknown share kind: " + kind_.toStdString());
    }
    Q_EMIT itemsChanged();
    if (items_.isEmpty() && model_ && model_->hasResult() && kind_ == QLatin1String("result"))
        return fail(L::picker::cardFailed(), "Share card could not be made");
    return !items_.isEmpty();
}

std::vector<std::filesystem::path> SharePicker::paths() const {
    std::vector<std::filesystem::path> result;
    for (const QUrl& url : items_)
        result.push_back(pathFromUrl(url));
    return result;
}

bool SharePicker::copyToClipboard() {
    if (!model_ || items_.isEmpty())
        return false;
    QMimeData* data = nullptr;
    if (kind_ == QLatin1String("result")) {
        const auto card = paths().front();
        const QImage image(textFromPath(card));
        if (image.isNull())
            return fail(L::picker::copyFailed(),
                        "Share copy failed: card unreadable at " + card.native());
        data = imageMimeData(image,
                             model_->result() ? ShareCard::caption(*model_->result()) : QString());
    } else {
        data = filesMimeData(items_);
    }
    if (!model_->desktop().setClipboardData(data))
        return fail(L::picker::copyFailed(), "Share copy failed: the clipboard kept nothing");
    logAction("copy");
    notify(L::picker::copied());
    return true;
}

bool SharePicker::showInFileManager() {
    if (!model_ || items_.isEmpty())
        return false;
    if (!model_->desktop().revealFiles(paths()))
        return fail(L::picker::revealFailed(), "Share reveal failed");
    logAction("reveal");
    return true;
}

bool SharePicker::sendByEmail() {
    if (!model_ || items_.isEmpty())
        return false;
    if (emailProgram_.isEmpty())
        return fail(L::picker::emailFailed(), "Share e-mail failed: no xdg-email");
    const QString body = kind_ == QLatin1String("result") && model_->result()
                             ? ShareCard::caption(*model_->result())
                             : QString();
    // Unparented: the mail program may outlive this picker's popup; it goes once it ends.
    auto* process = new QProcess;
    process->setProgram(emailProgram_);
    process->setArguments(emailArguments(items_, body));
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QPointer<AppModel> model = model_;
    QPointer<SharePicker> self = this;
    const auto done = [process, model, self](bool ok, const std::string& cause) {
        if (!ok) {
            log::error(log::Category::share, "Share e-mail failed: " + cause);
            if (model)
                model->setErrorMessage(L::picker::emailFailed());
        }
        if (self)
            Q_EMIT self->emailFinished(ok);
        process->deleteLater();
    };
    QObject::connect(process, &QProcess::finished, process,
                     [process, done](int code, QProcess::ExitStatus status) {
                         const bool ok = status == QProcess::NormalExit && code == 0;
                         done(ok, process->program().toStdString() + " exited with " +
                                      std::to_string(code));
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, done](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart)
                             done(false, process->errorString().toStdString());
                     });
    process->start();
    logAction("email");
    return true;
}

bool SharePicker::saveCopyTo(const QUrl& folder) {
    if (!model_ || items_.isEmpty() || !folder.isLocalFile())
        return false;
    const auto target = pathFromUrl(folder);
    for (const auto& source : paths()) {
        std::error_code error;
        if (!FileMover::copyInto(source, target, error))
            return fail(L::picker::saveFailed(), "Share save failed: " + source.native() + " to " +
                                                     target.native() + ": " + error.message());
    }
    logAction("save");
    notify(L::picker::saved(textFromPath(target.filename().empty() ? target : target.filename())));
    return true;
}

QMimeData* SharePicker::filesMimeData(const QList<QUrl>& files) {
    auto* data = new QMimeData;
    // Sets text/uri-list.
    data->setUrls(files);
    QByteArray gnome = "copy";
    QStringList lines;
    for (const QUrl& url : files) {
        gnome += '\n' + url.toEncoded();
        lines += url.isLocalFile() ? url.toLocalFile() : url.toString();
    }
    data->setData(QStringLiteral("x-special/gnome-copied-files"), gnome);
    data->setText(lines.join(u'\n'));
    return data;
}

QMimeData* SharePicker::imageMimeData(const QImage& image, const QString& caption) {
    auto* data = new QMimeData;
    data->setImageData(image);
    if (!caption.isEmpty())
        data->setText(caption);
    return data;
}

QStringList SharePicker::emailArguments(const QList<QUrl>& attachments, const QString& body) {
    QStringList arguments;
    if (!body.isEmpty())
        arguments << QStringLiteral("--body") << body;
    for (const QUrl& url : attachments)
        arguments << QStringLiteral("--attach") << textFromPath(pathFromUrl(url));
    return arguments;
}

bool SharePicker::fail(const QString& notice, const std::string& cause) {
    log::error(log::Category::share, cause);
    if (model_)
        model_->setErrorMessage(notice);
    return false;
}

void SharePicker::notify(const QString& text) {
    if (model_)
        model_->setToast(AppModel::Toast{text, false, QUuid::createUuid()});
}

void SharePicker::logAction(const char* action) const {
    log::info(log::Category::funnel, std::string("share_action action=") + action +
                                         " kind=" + kind_.toStdString() +
                                         " n=" + std::to_string(items_.size()));
}

} // namespace quorlix
