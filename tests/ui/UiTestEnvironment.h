#pragma once

#include "TestEnvironment.h"
#include "app/AppModel.h"
#include "app/DesktopServices.h"
#include "engine/core/Log.h"
#include "engine/core/ScanResult.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariantList>
#include <memory>
#include <optional>
#include <vector>

namespace quorlix::test {

class TempFolder;

// What the QML tests may do to the model beyond its own operations: publish progress, show a
// toast, finish a scan with a made-up result or a result of real files. The model's scans wait
// until cancelled unless a result was handed over, so a scanning screen stays put.
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
    // Runs a scan that finds one exact group of `exactCopies` + 1 files of `bytesEach` bytes
    // (none when 0), one look-alike group of `nearCopies` + 1 (none when 0), in a folder of
    // `totalPhotos`; the model then shows the splash.
    Q_INVOKABLE void finishScan(int exactCopies, qint64 bytesEach, int nearCopies,
                                qint64 totalPhotos);
    // Whether a log line since the last reset reads exactly `message`.
    Q_INVOKABLE bool logged(const QString& message) const;
    // Scans a folder of small generated photos and shows the result screen. `groups` lists
    // {kind: "exact"|"near", members: [file names], unlocked, scores: {name: score},
    // damaged: [file names the decoder only partly read]}; a member named "*.broken.jpg"
    // holds bytes no decoder reads. The first member is the
    // automatic keeper. Returns whether the results screen is shown.
    Q_INVOKABLE bool showResult(const QVariantList& groups, int totalPhotos);
    // The id of a member by its file name in the last result.
    Q_INVOKABLE QString photoId(const QString& name) const;
    Q_INVOKABLE int revealedCount() const { return int(desktop_->revealed.size()); }
    // Moves in slices of `files` files, `pauseMs` apart (reset: the normal slicing).
    Q_INVOKABLE void setMoveSlicing(int files, int pauseMs) {
        model_->setMoveSlicing(files, pauseMs);
    }
    // An empty folder to move into, made anew after each reset.
    Q_INVOKABLE QUrl destinationFolder();
    // Leaves a cache of analyses of `bytes` bytes where the model looks for it (the test's own
    // cache folder), as a finished scan would.
    Q_INVOKABLE void fillAnalysisCache(int bytes);
    // How many entries a folder holds (-1 when it cannot be read).
    Q_INVOKABLE int entryCount(const QUrl& folder) const;
    int openedUrlCount() const { return int(desktop_->opened.size()); }

private:
    std::shared_ptr<RecordingDesktop> desktop_;
    std::shared_ptr<std::optional<ScanResult>> next_ =
        std::make_shared<std::optional<ScanResult>>();
    std::shared_ptr<log::CapturingSink> log_;
    std::unique_ptr<TempFolder> folder_;
    std::unique_ptr<AppModel> model_;
    std::unique_ptr<TempFolder> destination_;
};

} // namespace quorlix::test
