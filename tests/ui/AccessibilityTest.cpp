#include "UiTestEnvironment.h"
#include "ui/AppModelForeign.h"
#include "ui/QuorlixApp.h"
#include "ui/ThumbnailProvider.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(QuorlixPlugin)

using namespace quorlix;

// Every control a user can reach must be reachable from the keyboard and named for a screen
// reader: the whole window's item tree is walked on each screen.
class AccessibilityTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::ModelHarness> harness_;
    std::unique_ptr<QQmlApplicationEngine> engine_;
    QQuickWindow* window_ = nullptr;

    static bool interactive(const QQuickItem* item) {
        return item->inherits("QQuickAbstractButton") || item->inherits("QQuickTextInput") ||
               item->activeFocusOnTab();
    }
    static bool canTakeFocus(const QQuickItem* item) {
        if (item->activeFocusOnTab())
            return true;
        // A row of a list that takes the focus is reached with the arrow keys.
        for (const QQuickItem* at = item->parentItem(); at; at = at->parentItem())
            if (at->inherits("QQuickListView") && at->activeFocusOnTab())
                return true;
        const QVariant policy = item->property("focusPolicy");
        return policy.isValid() && (policy.toInt() & Qt::TabFocus);
    }
    static bool shown(const QQuickItem* item) {
        for (const QQuickItem* at = item; at; at = at->parentItem())
            if (at->opacity() < 0.01)
                return false;
        return item->isVisible() && item->width() > 0 && item->height() > 0;
    }
    // "objectName or class: problem" for each interactive item that fails.
    QStringList walk(QQuickItem* item) const {
        QStringList problems;
        if (!item || !item->isVisible())
            return problems;
        if (shown(item) && interactive(item)) {
            QAccessibleInterface* access = QAccessible::queryAccessibleInterface(item);
            const QString name = access ? access->text(QAccessible::Name) : QString();
            const QString label =
                (item->objectName().isEmpty() ? QString::fromLatin1(item->metaObject()->className())
                                              : item->objectName());
            if (name.trimmed().isEmpty())
                problems += label + QStringLiteral(": no accessible name");
            if (!canTakeFocus(item))
                problems +=
                    label + QStringLiteral(" (") + name + QStringLiteral("): cannot take focus");
        }
        for (QQuickItem* child : item->childItems())
            problems += walk(child);
        return problems;
    }
    void checkScreen(const char* what) {
        QTest::qWait(400);
        const QStringList problems = walk(window_->contentItem());
        QVERIFY2(problems.isEmpty(),
                 qPrintable(QString::fromLatin1(what) + QStringLiteral(":\n  ") +
                            problems.join(QStringLiteral("\n  "))));
    }
    QObject* named(const char* objectName) const {
        return window_->findChild<QObject*>(QString::fromLatin1(objectName));
    }

private Q_SLOTS:
    void initTestCase() {
        QAccessible::setActive(true);
        harness_ = std::make_unique<test::ModelHarness>();
        AppModelForeign::setInstance(harness_->model());
        engine_ = std::make_unique<QQmlApplicationEngine>();
        engine_->addImageProvider(QLatin1String(ThumbnailProvider::providerName),
                                  new ThumbnailProvider);
        QString failure;
        window_ = QuorlixApp::loadWindow(*engine_, QUrl(QStringLiteral("qrc:/Quorlix/Main.qml")),
                                         &failure);
        QVERIFY2(window_, qPrintable(failure));
        QVERIFY(QTest::qWaitForWindowExposed(window_));
    }
    void cleanupTestCase() {
        engine_.reset();
        AppModelForeign::setInstance(nullptr);
        harness_.reset();
    }

    void everyScreenNamesAndFocusesItsControls() {
        checkScreen("empty");

        const QVariantList groups{
            QVariantMap{{QStringLiteral("kind"), QStringLiteral("exact")},
                        {QStringLiteral("members"), QStringList{"a.jpg", "a copy.jpg"}}},
            QVariantMap{{QStringLiteral("kind"), QStringLiteral("near")},
                        {QStringLiteral("members"), QStringList{"b.jpg", "b2.jpg", "b3.jpg"}}}};
        QVERIFY(harness_->showResult(groups, 5));
        checkScreen("results");

        harness_->model()->openQuickLook(harness_->photoId(QStringLiteral("b2.jpg")));
        checkScreen("quick look");
        harness_->model()->closeQuickLook();

        QMetaObject::invokeMethod(named("preferencesDialog"), "open");
        checkScreen("preferences");
        QMetaObject::invokeMethod(named("preferencesDialog"), "close");

        QMetaObject::invokeMethod(named("aboutDialog"), "open");
        checkScreen("about");
        QMetaObject::invokeMethod(named("aboutDialog"), "close");

        harness_->model()->requestMoveToTrash();
        checkScreen("move confirmation");
        harness_->model()->cancelPendingMove();

        // Nothing left to sort: the all-clear and the teaser.
        QVERIFY(harness_->showResult({}, 3));
        checkScreen("all clear");

        harness_->model()->newScan();
        harness_->model()->chooseFolder();
        checkScreen("folder dialog");
    }
};

int main(int argc, char** argv) {
    test::isolateEnvironment(/*keepDisplay=*/true);
    QGuiApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    AccessibilityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "AccessibilityTest.moc"
