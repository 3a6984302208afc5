#include "ui/GroupListModel.h"

#include "app/AppModel.h"
#include "app/FileUrl.h"
#include "app/KeeperReasons.h"
#include "ui/ThumbnailProvider.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QTimeZone>
#include <algorithm>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>

namespace quorlix {

namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// Everything a row shows; ids alone would miss a keeper change or a member that failed to move.
bool sameContent(const ScanResult::Group& a, const ScanResult::Group& b) {
    if (a.keeperId != b.keeperId || a.autoKeeperId != b.autoKeeperId ||
        a.isBestShotUnlocked != b.isBestShotUnlocked || a.bestShotScores != b.bestShotScores ||
        a.qualitySignals != b.qualitySignals || a.members.size() != b.members.size())
        return false;
    for (std::size_t i = 0; i < a.members.size(); ++i) {
        const auto& x = a.members[i];
        const auto& y = b.members[i];
        if (x.id != y.id || x.fileURL != y.fileURL || x.fileSizeBytes != y.fileSizeBytes)
            return false;
    }
    return true;
}

} // namespace

GroupListModel::GroupListModel(QObject* parent) : QAbstractListModel(parent) {}

void GroupListModel::setAppModel(AppModel* model) {
    if (appModel_ == model)
        return;
    disconnect(resultConnection_);
    appModel_ = model;
    if (model)
        resultConnection_ =
            connect(model, &AppModel::resultChanged, this, &GroupListModel::refresh);
    refresh();
    Q_EMIT appModelChanged();
}

void GroupListModel::setKind(Kind kind) {
    if (kind_ == kind)
        return;
    kind_ = kind;
    // Another kind shares no rows with the old one.
    beginResetModel();
    groups_ = currentGroups();
    endResetModel();
    Q_EMIT kindChanged();
    Q_EMIT countChanged();
}

std::vector<ScanResult::Group> GroupListModel::currentGroups() const {
    std::vector<ScanResult::Group> groups;
    if (!appModel_ || !appModel_->result())
        return groups;
    const auto wanted = kind_ == Exact ? ScanResult::Kind::exact : ScanResult::Kind::near;
    for (const auto& group : appModel_->result()->groups)
        if (kind_ == All || group.kind == wanted)
            groups.push_back(group);
    return groups;
}

void GroupListModel::refresh() {
    std::vector<ScanResult::Group> next = currentGroups();
    const int before = count();

    std::unordered_set<std::string> nextIds;
    for (const auto& group : next)
        nextIds.insert(group.id);
    if (nextIds.size() != next.size()) {
        // Rows are matched by id; with a repeated id only a reset is truthful.
        beginResetModel();
        groups_ = std::move(next);
        endResetModel();
        if (count() != before)
            Q_EMIT countChanged();
        return;
    }

    // Removals, as runs of adjacent rows, from the end so earlier rows keep their numbers.
    for (int end = int(groups_.size()); end > 0;) {
        if (nextIds.count(groups_[std::size_t(end - 1)].id)) {
            --end;
            continue;
        }
        int first = end - 1;
        while (first > 0 && !nextIds.count(groups_[std::size_t(first - 1)].id))
            --first;
        beginRemoveRows({}, first, end - 1);
        groups_.erase(groups_.begin() + first, groups_.begin() + end);
        endRemoveRows();
        end = first;
    }

    // What is left must appear in the same order in the new list; otherwise the order changed.
    std::unordered_map<std::string, std::size_t> nextPosition;
    for (std::size_t i = 0; i < next.size(); ++i)
        nextPosition.emplace(next[i].id, i);
    const bool ordered =
        std::is_sorted(groups_.begin(), groups_.end(),
                       [&](const ScanResult::Group& a, const ScanResult::Group& b) {
                           return nextPosition.at(a.id) < nextPosition.at(b.id);
                       });
    if (!ordered) {
        beginResetModel();
        groups_ = std::move(next);
        endResetModel();
        if (count() != before)
            Q_EMIT countChanged();
        return;
    }

    // Insertions, as runs, at their places in the new order.
    std::size_t row = 0;
    for (std::size_t j = 0; j < next.size();) {
        if (row < groups_.size() && groups_[row].id == next[j].id) {
            ++row;
            ++j;
            continue;
        }
        std::size_t end = j;
        while (end < next.size() && !(row < groups_.size() && groups_[row].id == next[end].id))
            ++end;
        beginInsertRows({}, int(row), int(row + (end - j) - 1));
        groups_.insert(groups_.begin() + std::ptrdiff_t(row), next.begin() + std::ptrdiff_t(j),
                       next.begin() + std::ptrdiff_t(end));
        endInsertRows();
        row += end - j;
        j = end;
    }

    // Rows now pair up one to one; only those whose content differs announce it.
    for (std::size_t i = 0; i < groups_.size(); ++i) {
        if (sameContent(groups_[i], next[i]))
            continue;
        groups_[i] = std::move(next[i]);
        const QModelIndex changed = index(int(i));
        Q_EMIT dataChanged(changed, changed);
    }
    if (count() != before)
        Q_EMIT countChanged();
}

int GroupListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant GroupListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const auto& group = groups_[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case GroupIdRole:
        return text(group.id);
    case KindRole:
        return QString::fromLatin1(kindName(group.kind));
    case MembersRole: {
        QVariantList members;
        members.reserve(qsizetype(group.members.size()));
        const std::filesystem::path scanned = appModel_ && appModel_->result()
                                                  ? appModel_->result()->folder
                                                  : std::filesystem::path();
        for (const auto& photo : group.members)
            members.append(memberMap(group, photo, scanned));
        return members;
    }
    case MemberCountRole:
        return int(group.members.size());
    case KeeperIdRole:
        return text(group.keeperId);
    case AutoKeeperIdRole:
        return text(group.autoKeeperId);
    case KeeperChangedRole:
        return group.keeperId != group.autoKeeperId;
    case ReclaimableBytesRole:
        return double(group.reclaimableBytes());
    case IsBestShotUnlockedRole:
        return group.isBestShotUnlocked;
    default:
        return {};
    }
}

QHash<int, QByteArray> GroupListModel::roleNames() const {
    return {{GroupIdRole, "groupId"},
            {KindRole, "kind"},
            {MembersRole, "members"},
            {MemberCountRole, "memberCount"},
            {KeeperIdRole, "keeperId"},
            {AutoKeeperIdRole, "autoKeeperId"},
            {KeeperChangedRole, "keeperChanged"},
            {ReclaimableBytesRole, "reclaimableBytes"},
            {IsBestShotUnlockedRole, "isBestShotUnlocked"}};
}

int GroupListModel::indexOfGroup(const QString& groupId) const {
    const std::string id = groupId.toStdString();
    for (std::size_t i = 0; i < groups_.size(); ++i)
        if (groups_[i].id == id)
            return int(i);
    return -1;
}

QVariantMap GroupListModel::memberMap(const ScanResult::Group& group, const PhotoRecord& photo,
                                      const std::filesystem::path& scanned) {
    const std::filesystem::path path(photo.fileURL);
    QVariantMap map{
        {QStringLiteral("id"), text(photo.id)},
        {QStringLiteral("fileURL"), urlFromPath(path)},
        {QStringLiteral("name"), textFromPath(path.filename())},
        {QStringLiteral("size"), double(photo.fileSizeBytes)},
        {QStringLiteral("isKeeper"), photo.id == group.keeperId},
        {QStringLiteral("isDamaged"), photo.isDamaged},
        {QStringLiteral("thumbnail"),
         ThumbnailProvider::sourceFor(path, ThumbnailProvider::cellPixels)},
        {QStringLiteral("preview"),
         ThumbnailProvider::sourceFor(path, ThumbnailProvider::previewPixels)},
    };
    if (const auto score = group.bestShotScores.find(photo.id); score != group.bestShotScores.end())
        map.insert(QStringLiteral("score"), score->second);
    if (photo.id == group.keeperId)
        map.insert(QStringLiteral("keptBecause"), KeeperReasons::sentence(group, photo));
    // Copies in different subfolders look the same; where each lives tells them apart.
    const std::filesystem::path parent = path.parent_path();
    map.insert(QStringLiteral("path"),
               QFile::decodeName(QByteArray::fromStdString(parent.native())));
    if (!scanned.empty()) {
        const std::filesystem::path relative = parent.lexically_relative(scanned);
        const bool inside = !relative.empty() && *relative.begin() != "..";
        map.insert(QStringLiteral("folder"),
                   !inside || relative == "."
                       ? QString()
                       : QFile::decodeName(QByteArray::fromStdString(relative.native())));
        map.insert(QStringLiteral("inScannedFolder"), inside && relative == ".");
    }
    if (photo.pixelWidth && photo.pixelHeight)
        map.insert(QStringLiteral("pixels"),
                   QStringLiteral("%1 × %2").arg(*photo.pixelWidth).arg(*photo.pixelHeight));
    if (photo.dateOriginal)
        // The camera's clock, stored as if it were UTC: shown as taken, never shifted.
        map.insert(QStringLiteral("taken"),
                   QLocale().toString(
                       QDateTime::fromSecsSinceEpoch(qint64(*photo.dateOriginal), QTimeZone::utc()),
                       QLocale::ShortFormat));
    return map;
}

} // namespace quorlix
