#include "ui/ResultSummary.h"

#include "app/ByteCountFormat.h"
#include "app/L.h"
#include "ui/AppModelForeign.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <type_traits>

namespace quorlix {

static_assert(!std::is_default_constructible_v<ResultSummary>,
              "QML prefers a default constructor to create()");

ResultSummary::ResultSummary(AppModel* model, QObject* parent) : QObject(parent) {
    setAppModel(model);
}

ResultSummary* ResultSummary::create(QQmlEngine* qmlEngine, QJSEngine*) {
    return new ResultSummary(AppModelForeign::of(qmlEngine));
}

void ResultSummary::setAppModel(AppModel* model) {
    if (appModel_ == model)
        return;
    disconnect(resultConnection_);
    appModel_ = model;
    if (model)
        resultConnection_ = connect(model, &AppModel::resultChanged, this, &ResultSummary::changed);
    Q_EMIT appModelChanged();
    Q_EMIT changed();
}

qint64 ResultSummary::totalPhotos() const {
    return hasResult() ? appModel_->result()->totalPhotos : 0;
}

qint64 ResultSummary::duplicateCount() const {
    return hasResult() ? appModel_->result()->duplicateCount() : 0;
}

double ResultSummary::exactReclaimableBytes() const {
    return hasResult() ? double(appModel_->result()->exactReclaimableBytes()) : 0.0;
}

int ResultSummary::groupCount() const {
    return hasResult() ? int(appModel_->result()->groups.size()) : 0;
}

int ResultSummary::countOf(ScanResult::Kind kind) const {
    if (!hasResult())
        return 0;
    const auto& groups = appModel_->result()->groups;
    return int(std::count_if(groups.begin(), groups.end(),
                             [kind](const ScanResult::Group& g) { return g.kind == kind; }));
}

int ResultSummary::exactGroupCount() const {
    return countOf(ScanResult::Kind::exact);
}

int ResultSummary::nearGroupCount() const {
    return countOf(ScanResult::Kind::near);
}

QString ResultSummary::text() const {
    if (!hasResult())
        return {};
    const auto& result = *appModel_->result();
    return summaryText(result.totalPhotos, result.duplicateCount(), result.exactReclaimableBytes());
}

QString ResultSummary::summaryText(std::int64_t photos, std::int64_t duplicates,
                                   std::int64_t reclaimableBytes) {
    QStringList parts{photos == 1 ? L::results::onePhoto() : L::results::photos(photos),
                      duplicates == 1 ? L::results::oneDuplicate()
                                      : L::results::duplicates(duplicates)};
    const QString size = formatByteCount(reclaimableBytes);
    if (size != formatByteCount(std::int64_t{0}))
        parts.append(L::results::reclaimable(size));
    return parts.join(QStringLiteral(" \u00b7 "));
}

QString ResultSummary::formatBytes(double bytes) {
    return formatByteCount(bytes);
}

} // namespace quorlix
