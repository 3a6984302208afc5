#include "ui/ResultStats.h"

#include "ui/ShareCardPainter.h"

namespace quorlix {

ResultStats::ResultStats(QObject* parent) : QObject(parent) {}

void ResultStats::setAppModel(AppModel* model) {
    if (model_ == model)
        return;
    disconnect(connection_);
    model_ = model;
    if (model)
        connection_ = connect(model, &AppModel::resultChanged, this, &ResultStats::refresh);
    refresh();
    Q_EMIT appModelChanged();
}

void ResultStats::refresh() {
    values_.clear();
    labels_.clear();
    if (model_ && model_->result()) {
        for (const auto& stat : ShareCardPainter::contentFor(*model_->result()).stats) {
            values_ += stat.value;
            labels_ += stat.label;
        }
    }
    Q_EMIT changed();
}

} // namespace quorlix
