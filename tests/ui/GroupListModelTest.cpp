#include "ui/GroupListModel.h"

#include "TempFolder.h"
#include "UiTestEnvironment.h"
#include "app/AppModel.h"
#include "engine/core/ContentKeys.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace quorlix;

namespace {

PhotoRecord photo(const std::filesystem::path& path, std::int64_t size) {
    PhotoRecord r;
    r.fileURL = path.native();
    r.id = pathDigest(r.fileURL);
    r.fileSizeBytes = size;
    r.identity = FileIdentity::ofPath(path);
    return r;
}

// A model whose scans return whatever `next` holds at the time.
struct Fixture {
    std::shared_ptr<ScanResult> next = std::make_shared<ScanResult>();
    std::unique_ptr<AppModel> model = std::make_unique<AppModel>(
        [next = next](const std::filesystem::path&, const ProgressCallback&, std::stop_token) {
            return *next;
        },
        std::make_shared<test::RecordingDesktop>());

    bool scan(const ScanResult& result) {
        *next = result;
        model->startScan(QUrl::fromLocalFile(QString::fromStdString(result.folder.native())));
        return QTest::qWaitFor([&] { return model->screen() != AppModel::Screen::scanning; });
    }
};

// A list of one kind over `app`, checked by Qt's model tester all along.
struct List : GroupListModel {
    QAbstractItemModelTester tester{this, QAbstractItemModelTester::FailureReportingMode::QtTest};
    explicit List(AppModel* app, Kind kind = Exact) {
        setKind(kind);
        setAppModel(app);
    }
};

QStringList ids(const GroupListModel& list) {
    QStringList out;
    for (int i = 0; i < list.rowCount(); ++i)
        out << list.index(i).data(GroupListModel::GroupIdRole).toString();
    return out;
}

} // namespace

class GroupListModelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // What the result cards show of these roles (names, keepers, badges, thumbnails, sections)
    // is checked on the results screen.
    void rolesDescribeEachGroupOfItsKind() {
        test::TempFolder folder;
        Fixture f;
        ScanResult result;
        result.folder = folder.path();
        const auto a = photo(folder.path() / "a.jpg", 100);
        const auto b = photo(folder.path() / "b.jpg", 100);
        const auto c = photo(folder.path() / "c.jpg", 300);
        const auto d = photo(folder.path() / "d.jpg", 400);
        result.groups = {test::groupOf(ScanResult::Kind::exact, "exact:k", {a, b}),
                         test::groupOf(ScanResult::Kind::near, "near:0", {c, d})};
        result.groups[1].bestShotScores = {{c.id, 81.5}};
        result.groups[1].isBestShotUnlocked = true;
        QVERIFY(f.scan(result));

        List exact(f.model.get()), near(f.model.get(), GroupListModel::Near);

        QCOMPARE(ids(exact), QStringList{"exact:k"});
        QCOMPARE(ids(near), QStringList{"near:0"});
        QCOMPARE(exact.index(0).data(GroupListModel::ReclaimableBytesRole).toDouble(), 100.0);
        const QVariantList members = near.index(0).data(GroupListModel::MembersRole).toList();
        QCOMPARE(members.size(), 2);
        const QVariantMap first = members[0].toMap();
        QCOMPARE(first["fileURL"].toUrl(), QUrl::fromLocalFile(QString::fromStdString(c.fileURL)));
        QCOMPARE(first["size"].toDouble(), 300.0);
        QCOMPARE(first["score"].toDouble(), 81.5);
        // No score for a member the scorer did not rate: absent, not zero.
        QVERIFY(!members[1].toMap().contains("score"));
        QCOMPARE(near.indexOfGroup("near:0"), 0);
        QCOMPARE(near.indexOfGroup("exact:k"), -1);
        // Both kinds in one list, in result order, for a list with a section per kind.
        QCOMPARE(ids(List(f.model.get(), GroupListModel::All)), (QStringList{"exact:k", "near:0"}));
    }

    void keeperChangeTouchesOneRowOnly() {
        test::TempFolder folder;
        Fixture f;
        ScanResult result;
        result.folder = folder.path();
        for (int i = 0; i < 3; ++i)
            result.groups.push_back(
                test::groupOf(ScanResult::Kind::near, "near:" + std::to_string(i),
                              {photo(folder.path() / ("p" + std::to_string(i) + "a.jpg"), 10),
                               photo(folder.path() / ("p" + std::to_string(i) + "b.jpg"), 20)}));
        QVERIFY(f.scan(result));
        List list(f.model.get(), GroupListModel::Near);
        QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
        QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&list, &QAbstractItemModel::rowsRemoved);
        QSignalSpy reset(&list, &QAbstractItemModel::modelReset);

        const QString other = QString::fromStdString(result.groups[1].members[1].id);
        f.model->setKeeper("near:1", other);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toModelIndex().row(), 1);
        QCOMPARE(changed[0][1].toModelIndex().row(), 1);
        QCOMPARE(list.index(1).data(GroupListModel::KeeperIdRole).toString(), other);
        QCOMPARE(list.index(1).data(GroupListModel::KeeperChangedRole).toBool(), true);
        QVERIFY(list.index(1)
                    .data(GroupListModel::MembersRole)
                    .toList()[1]
                    .toMap()["isKeeper"]
                    .toBool());

        f.model->resetKeeper("near:1");
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed[1][0].toModelIndex().row(), 1);
        QCOMPARE(list.index(1).data(GroupListModel::KeeperChangedRole).toBool(), false);
        QCOMPARE(inserted.size() + removed.size() + reset.size(), 0);
    }

    void movedGroupsLeaveAndUndoBringsThemBackInPlace() {
        test::TempFolder folder;
        test::TempFolder destination;
        Fixture f;
        ScanResult result;
        result.folder = folder.path();
        // Three exact groups of two, sorted as the engine sorts them (ascending id).
        for (const char* key : {"a", "b", "c"}) {
            const std::string k(key);
            result.groups.push_back(
                test::groupOf(ScanResult::Kind::exact, "exact:" + k,
                              {photo(folder.write(k + "1.jpg", "same " + k), 6),
                               photo(folder.write(k + "2.jpg", "same " + k), 6)}));
        }
        // A look-alike group must not show up in the exact list at any step.
        result.groups.push_back(test::groupOf(
            ScanResult::Kind::near, "near:0",
            {photo(folder.write("n1.jpg", "n1"), 2), photo(folder.write("n2.jpg", "n2"), 2)}));
        QVERIFY(f.scan(result));
        List list(f.model.get());
        QSignalSpy removed(&list, &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(&list, &QAbstractItemModel::modelReset);
        QSignalSpy counted(&list, &GroupListModel::countChanged);

        // A member gone from disk cannot be moved, so its group stays.
        std::filesystem::remove(folder.path() / "b2.jpg");
        f.model->performMove(AppModel::MoveDestination::toFolder(
            QUrl::fromLocalFile(QString::fromStdString(destination.path().native()))));
        // Groups a and c left whole; b stays with its failed member.
        QCOMPARE(ids(list), QStringList{"exact:b"});
        QCOMPARE(removed.size(), 2);
        QCOMPARE(reset.size(), 0);
        QCOMPARE(list.index(0).data(GroupListModel::MemberCountRole).toInt(), 2);
        QCOMPARE(counted.size(), 1);

        f.model->undoLastMove();
        QCOMPARE(ids(list), (QStringList{"exact:a", "exact:b", "exact:c"}));
        QCOMPARE(inserted.size(), 2);
        QCOMPARE(reset.size(), 0);
        QCOMPARE(counted.size(), 2);
    }

    void newScansAndKindSwitchesStayConsistent() {
        test::TempFolder folder;
        Fixture f;
        ScanResult first;
        first.folder = folder.path();
        for (int i = 0; i < 5; ++i)
            first.groups.push_back(
                test::groupOf(ScanResult::Kind::exact, "exact:" + std::to_string(i),
                              {photo(folder.path() / ("x" + std::to_string(i)), 1),
                               photo(folder.path() / ("y" + std::to_string(i)), 1)}));
        QVERIFY(f.scan(first));
        List list(f.model.get());
        QCOMPARE(list.count(), 5);

        // Another result with a different order and overlap: rows match it, whichever signals.
        ScanResult second = first;
        std::swap(second.groups[0], second.groups[4]);
        second.groups.erase(second.groups.begin() + 2);
        second.groups.push_back(
            test::groupOf(ScanResult::Kind::exact, "exact:9",
                          {photo(folder.path() / "z1", 1), photo(folder.path() / "z2", 1)}));
        QVERIFY(f.scan(second));
        QCOMPARE(ids(list), (QStringList{"exact:4", "exact:1", "exact:3", "exact:0", "exact:9"}));

        list.setKind(GroupListModel::Near);
        QCOMPARE(list.count(), 0);
        list.setKind(GroupListModel::Exact);
        QCOMPARE(list.count(), 5);

        // A new scan forgets the result; the list empties.
        f.model->newScan();
        QCOMPARE(list.count(), 0);
        list.setAppModel(nullptr);
        QCOMPARE(list.count(), 0);
    }
};

int runGroupListModelTest(int argc, char** argv) {
    GroupListModelTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "GroupListModelTest.moc"
