#include "ui/QuickLookInfo.h"

#include "app/AppModel.h"
#include "ui/GroupListModel.h"

namespace quorlix {

QuickLookInfo::QuickLookInfo(QObject* parent) : QObject(parent) {}

AppModel* QuickLookInfo::appModel() const {
    return model_;
}

void QuickLookInfo::setAppModel(AppModel* model) {
    if (model_ == model)
        return;
    disconnect(quickLookConnection_);
    disconnect(resultConnection_);
    model_ = model;
    if (model) {
        quickLookConnection_ =
            connect(model, &AppModel::quickLookChanged, this, &QuickLookInfo::refresh);
        // A keeper change replaces the result.
        resultConnection_ = connect(model, &AppModel::resultChanged, this, &QuickLookInfo::refresh);
    }
    refresh();
    Q_EMIT appModelChanged();
}

void QuickLookInfo::refresh() {
    photo_.clear();
    groupId_.clear();
    isKeeper_ = false;
    previousId_.clear();
    nextId_.clear();
    position_ = count_ = 0;
    if (model_ && model_->quickLook() && model_->result()) {
        const std::string& id = model_->quickLook()->id;
        for (const auto& group : model_->result()->groups) {
            const auto& members = group.members;
            const auto at = std::find_if(members.begin(), members.end(),
                                         [&id](const PhotoRecord& p) { return p.id == id; });
            if (at == members.end())
                continue;
            const auto index = std::size_t(at - members.begin());
            photo_ = GroupListModel::memberMap(group, *at, model_->result()->folder);
            groupId_ = QString::fromStdString(group.id);
            isKeeper_ = group.keeperId == id;
            if (index > 0)
                previousId_ = QString::fromStdString(members[index - 1].id);
            if (index + 1 < members.size())
                nextId_ = QString::fromStdString(members[index + 1].id);
            position_ = int(index) + 1;
            count_ = int(members.size());
            break;
        }
    }
    Q_EMIT changed();
}

} // namespace quorlix
