#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <QtQml/qqml.h>

namespace quorlix {

class AppModel;

// What the enlarged view tells about its photo and where Previous / Next lead, within the
// photo's group: the member's details as GroupListModel gives a cell (name, folder, path, size,
// pixels, taken, score) plus the group and its neighbours.
class QuickLookInfo : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_MOC_INCLUDE("app/AppModel.h")
    Q_PROPERTY(quorlix::AppModel* appModel READ appModel WRITE setAppModel NOTIFY appModelChanged)
    Q_PROPERTY(QVariantMap photo READ photo NOTIFY changed)
    Q_PROPERTY(QString groupId READ groupId NOTIFY changed)
    Q_PROPERTY(bool isKeeper READ isKeeper NOTIFY changed)
    Q_PROPERTY(QString previousId READ previousId NOTIFY changed)
    Q_PROPERTY(QString nextId READ nextId NOTIFY changed)
    Q_PROPERTY(int position READ position NOTIFY changed)
    Q_PROPERTY(int count READ count NOTIFY changed)

public:
    explicit QuickLookInfo(QObject* parent = nullptr);
    AppModel* appModel() const;
    void setAppModel(AppModel* model);

    QVariantMap photo() const { return photo_; }
    QString groupId() const { return groupId_; }
    bool isKeeper() const { return isKeeper_; }
    // Empty at the group's ends.
    QString previousId() const { return previousId_; }
    QString nextId() const { return nextId_; }
    int position() const { return position_; } // 1-based; 0 without a photo
    int count() const { return count_; }

Q_SIGNALS:
    void appModelChanged();
    void changed();

private:
    void refresh();

    QPointer<AppModel> model_;
    QMetaObject::Connection quickLookConnection_;
    QMetaObject::Connection resultConnection_;
    QVariantMap photo_;
    QString groupId_;
    bool isKeeper_ = false;
    QString previousId_;
    QString nextId_;
    int position_ = 0;
    int count_ = 0;
};

} // namespace quorlix
