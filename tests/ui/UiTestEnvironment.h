#pragma once

#include "app/AppModel.h"
#include "app/DesktopServices.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <memory>
#include <mutex>
#include <optional>

namespace quorlix::test {

// Points HOME, TMPDIR and every XDG folder at a fresh temporary folder, so that nothing a test
// does reaches the user's settings, Trash or home. Leaves the display alone (Xvfb or offscreen).
void isolateUiEnvironment();

// Records what the model asks of the desktop instead of doing it.
class RecordingDesktop : public DesktopServices {
public:
    bool openUrl(const QUrl& url) override;
    bool revealFile(const std::filesystem::path& file) override;
    void setClipboardText(const QString& text) override;

    QList<QUrl> opened;
};

class TempFolder;

// What the QML tests may do to the model beyond its own operations: publish progress, show a
// toast, give it a result of real files. The model's scans wait until cancelled, so a scanning
// screen stays put, unless a result was given.
class ModelHarness : public QObject {
    Q_OBJECT
    Q_PROPERTY(int openedUrlCount READ openedUrlCount)

public:
    ModelHarness();
    ~ModelHarness() override;

    AppModel* model() const { return model_.get(); }

    Q_INVOKABLE void reportProgress(const QString& phase, qint64 current, qint64 total);
    Q_INVOKABLE void showToast(const QString& text, bool undoable);
    Q_INVOKABLE void reset();
    // Writes a folder of tiny photos (one exact group with `exactOthers` copies besides its
    // keeper, one look-alike group with `nearOthers` others) and scans it into a result.
    Q_INVOKABLE void loadResult(int exactOthers, int nearOthers);
    // Moves in slices of `files` files, `pauseMs` apart (reset: the normal slicing).
    Q_INVOKABLE void setMoveSlicing(int files, int pauseMs) {
        model_->setMoveSlicing(files, pauseMs);
    }
    // An empty folder to move into, made anew after each reset.
    Q_INVOKABLE QUrl destinationFolder();
    // How many entries a folder holds (-1 when it cannot be read).
    Q_INVOKABLE int entryCount(const QUrl& folder) const;
    int openedUrlCount() const { return int(desktop_->opened.size()); }

private:
    std::shared_ptr<RecordingDesktop> desktop_;
    std::unique_ptr<AppModel> model_;
    std::mutex mutex_;
    std::optional<ScanResult> nextResult_; // handed to the next scan
    std::unique_ptr<TempFolder> photos_;
    std::unique_ptr<TempFolder> destination_;
};

} // namespace quorlix::test
