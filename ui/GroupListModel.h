#pragma once

#include "app/AppModel.h"
#include "engine/core/ScanResult.h"

#include <QAbstractListModel>
#include <QPointer>
#include <QtQml/qqml.h>
#include <vector>

namespace quorlix {

// The groups of one kind of the model's current result, one row per group, so that a list
// view builds only the cards it shows. Follows every change of the result with the smallest
// row signals it can: removed and returning groups as row removals and insertions, a keeper
// change as dataChanged of its one row, and a reset only when the order itself changed.
class GroupListModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(quorlix::AppModel* appModel READ appModel WRITE setAppModel NOTIFY appModelChanged)
    Q_PROPERTY(Kind kind READ kind WRITE setKind NOTIFY kindChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    // All: both kinds, in result order (exact groups first), for one list with sections.
    enum Kind { Exact, Near, All };
    Q_ENUM(Kind)

    enum Role {
        GroupIdRole = Qt::UserRole + 1,
        KindRole,             // "exact" or "near"
        MembersRole,          // list of maps, see memberMap
        MemberCountRole,      // int
        KeeperIdRole,         // text
        AutoKeeperIdRole,     // text
        KeeperChangedRole,    // keeperId differs from autoKeeperId
        ReclaimableBytesRole, // bytes of the others (double in QML, exact below 2^53)
        IsBestShotUnlockedRole,
    };
    Q_ENUM(Role)

    // Starts on the process's model QML sees, when there is one.
    explicit GroupListModel(QObject* parent = nullptr);

    AppModel* appModel() const { return appModel_; }
    void setAppModel(AppModel* model);
    Kind kind() const { return kind_; }
    void setKind(Kind kind);
    int count() const { return int(groups_.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The row of the group with this id, or -1.
    Q_INVOKABLE int indexOfGroup(const QString& groupId) const;

    // One member for QML: id, fileURL (file:// URL), name (last path component), size (bytes),
    // score (absent when the group has none for it), isKeeper, keptBecause (the keeper's
    // reasons as one sentence, only on the keeper), isDamaged (the decoder had
    // to repair the file or read only part of it), thumbnail and preview (image
    // sources at the cell's and the enlarged view's sizes).
    // `scanned`: the scanned folder, which "folder" (the photo's folder below it, empty for
    // the folder itself) is relative to.
    static QVariantMap memberMap(const ScanResult::Group& group, const PhotoRecord& photo,
                                 const std::filesystem::path& scanned = {});

Q_SIGNALS:
    void appModelChanged();
    void kindChanged();
    void countChanged();

private:
    void refresh();
    std::vector<ScanResult::Group> currentGroups() const;

    QPointer<AppModel> appModel_;
    QMetaObject::Connection resultConnection_;
    Kind kind_ = Exact;
    std::vector<ScanResult::Group> groups_;
};

} // namespace quorlix
