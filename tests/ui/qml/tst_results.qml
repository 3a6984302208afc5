import QtQuick
import Quorlix
import QuorlixTest

WindowTestCase {
    name: "Results"

    function show(groups, total) {
        verify(Harness.showResult(groups, total === undefined ? 20 : total))
        tryVerify(() => find("resultsScreen") !== null)
        waitForRendering(window.contentItem)
    }
    // The cell of the photo named `name` in the first card that holds it.
    function cell(name) {
        const list = find("groupList")
        for (let i = 0; i < list.count; ++i) {
            const card = list.itemAtIndex(i)
            const cells = card ? findChild(card, "cells") : null
            for (let j = 0; cells && j < cells.count; ++j) {
                const c = cells.itemAtIndex(j)
                if (c && c.record.name === name)
                    return c
            }
        }
        return null
    }
    function card(index) { return find("groupList").itemAtIndex(index) }

    function test_summaryCountsEveryGroupButWeighsOnlyExactOnes() {
        show([ { kind: "exact", members: [ "a.jpg", "a copy.jpg", "a copy 2.jpg" ] },
               { kind: "near", members: [ "b1.jpg", "b2.jpg" ] } ], 24)
        // The copies weigh a few kilobytes: "0 MB" would say nothing, so no size is shown.
        compare(find("summaryText").text, "24 photos · 3 duplicates")
        compare(ResultSummary.exactGroupCount, 1)
        compare(ResultSummary.nearGroupCount, 1)
        verify(find("shareKeepersButton").visible)
        verify(find("moveMenuButton").visible)
    }

    function test_moveMenuAsksBeforeMovingAndAllIsSortedAfter() {
        show([ { kind: "exact", members: [ "a.jpg", "a copy.jpg" ] } ])
        const button = find("moveMenuButton")
        tryVerify(() => button.width > 0 && button.x > 0)
        mouseClick(button)
        const menu = findChild(button, "moveMenu")
        tryCompare(menu, "opened", true)
        findChild(menu, "moveToTrash").triggered()
        verify(AppModel.hasPendingMove)
        verify(AppModel.pendingMoveToTrash)
        AppModel.confirmPendingMove()
        tryVerify(() => find("allClear").visible)
        compare(find("allClearTitle").text, "All sorted — your folder is clean!")
    }

    function test_sectionsFollowTheKinds() {
        show([ { kind: "exact", members: [ "a.jpg", "a copy.jpg" ] },
               { kind: "near", members: [ "b1.jpg", "b2.jpg" ] },
               { kind: "near", members: [ "c1.jpg", "c2.jpg" ] } ])
        tryVerify(() => find("exactSectionHeader") !== null)
        tryVerify(() => find("nearSectionHeader") !== null)
        compare(findChild(find("exactSectionHeader"), "sectionTitle").text, "EXACT DUPLICATES")
        compare(findChild(find("nearSectionHeader"), "sectionCount").text, "2")
        verify(findChild(card(0), "groupBytes").visible)
        verify(!findChild(card(1), "groupBytes").visible)
    }

    function test_onlyLookAlikesShowNoExactHeader() {
        show([ { kind: "near", members: [ "b1.jpg", "b2.jpg" ] } ])
        tryVerify(() => find("nearSectionHeader") !== null)
        compare(find("exactSectionHeader"), null)
        compare(findChild(find("nearSectionHeader"), "sectionTitle").text, "LOOK-ALIKE GROUPS")
    }

    function test_clickKeepsAPhotoAndTheAutomaticPickComesBack() {
        show([ { kind: "exact", members: [ "a.jpg", "b.jpg" ] } ])
        tryVerify(() => cell("b.jpg") !== null)
        verify(cell("a.jpg").isKeeper)
        verify(!findChild(card(0), "resetKeeperButton").visible)
        const picture = findChild(cell("b.jpg"), "thumbnail")
        tryVerify(() => cell("b.jpg").loaded, 5000)
        mouseClick(cell("b.jpg"))
        tryVerify(() => cell("b.jpg") && cell("b.jpg").isKeeper)
        // The cell, and its picture, stay as they were.
        compare(findChild(cell("b.jpg"), "thumbnail"), picture)
        verify(cell("b.jpg").loaded)
        verify(!cell("a.jpg").isKeeper)
        verify(findChild(cell("b.jpg"), "keeperBadge").visible)
        verify(!findChild(cell("a.jpg"), "keeperBadge").visible)
        const reset = findChild(card(0), "resetKeeperButton")
        verify(reset.visible)
        mouseClick(reset)
        tryVerify(() => cell("a.jpg") && cell("a.jpg").isKeeper)
        verify(!findChild(card(0), "resetKeeperButton").visible)
    }

    function test_badgeAndLockFollowTheUnlock() {
        show([ { kind: "near", members: [ "u1.jpg", "u2.jpg" ], unlocked: true,
                 scores: { "u1.jpg": 81.6 } },
               { kind: "near", members: [ "l1.jpg", "l2.jpg" ], unlocked: false } ])
        tryVerify(() => cell("l1.jpg") !== null)
        compare(findChild(cell("u1.jpg"), "keeperLabel").text, "Best shot")
        // A score only where there is one.
        verify(findChild(cell("u1.jpg"), "scoreText").visible)
        compare(findChild(cell("u1.jpg"), "scoreText").text, "82/100")
        verify(!findChild(cell("u2.jpg"), "scoreText").visible)
        verify(!findChild(card(0), "lockBadge").visible)
        compare(findChild(cell("l1.jpg"), "keeperLabel").text, "Keep")
        const lock = findChild(card(1), "lockBadge")
        verify(lock.visible)
        mouseClick(lock)
        compare(Harness.openedUrlCount, 1)
        // A hand-picked keeper shows the way back instead of the lock.
        AppModel.setKeeper(AppModel.hasResult ? card(1).groupId : "", Harness.photoId("l2.jpg"))
        tryVerify(() => findChild(card(1), "resetKeeperButton").visible)
        verify(!findChild(card(1), "lockBadge").visible)
    }

    function test_keeperBadgeSaysWhyAndADamagedFileIsMarked() {
        show([ { kind: "near", members: [ "k.jpg", "d.jpg", "o.jpg" ], unlocked: true,
                 scores: { "k.jpg": 70, "d.jpg": 90, "o.jpg": 40 }, damaged: [ "d.jpg" ] } ])
        tryVerify(() => cell("o.jpg") !== null)
        const keeper = cell("k.jpg")
        compare(keeper.record.keptBecause, "Kept because: intact")
        verify(keeper.Accessible.description.endsWith("Kept because: intact"))
        verify(!findChild(keeper, "damagedBadge").visible)
        const damaged = cell("d.jpg")
        const badge = findChild(damaged, "damagedBadge")
        verify(badge.visible)
        compare(badge.Accessible.name, "This file is damaged; it was only partly read.")
        verify(damaged.Accessible.name.endsWith("This file is damaged; it was only partly read."))
        verify(!cell("o.jpg").record.keptBecause)
    }

    function test_longNameIsElidedInTheMiddle() {
        const name = "A very long file name from a camera that never stops talking 0001.jpg"
        show([ { kind: "exact", members: [ name, "short.jpg" ] } ])
        tryVerify(() => cell(name) !== null)
        const label = findChild(cell(name), "fileName")
        compare(label.elide, Text.ElideMiddle)
        verify(label.truncated)
        verify(label.width <= cell(name).width - 16)
    }

    // An undecodable file keeps its placeholder and its enlarged view stops waiting (it kept its
    // spinner forever); a readable one opens on a double click and closes with Escape or its
    // button.
    function test_previewsOfReadableAndUndecodableFiles() {
        show([ { kind: "exact", members: [ "a.jpg", "b.jpg", "c.broken.jpg" ] } ])
        tryVerify(() => cell("b.jpg") && cell("b.jpg").loaded, 5000)
        const bad = cell("c.broken.jpg")
        tryVerify(() => findChild(bad, "thumbnail").status !== Image.Loading, 5000)
        verify(!bad.loaded)
        verify(findChild(bad, "placeholder").visible)
        verify(!findChild(cell("b.jpg"), "placeholder").visible)

        mouseDoubleClickSequence(cell("b.jpg"))
        tryCompare(AppModel, "hasQuickLook", true)
        // A double click only previews: the keeper stays.
        wait(Qt.styleHints.mouseDoubleClickInterval + 100)
        verify(cell("a.jpg").isKeeper)
        tryVerify(() => find("quickLook") !== null && find("quickLook").loaded, 5000)
        keyClick(Qt.Key_Escape)
        tryCompare(AppModel, "hasQuickLook", false)
        AppModel.openQuickLook(Harness.photoId("a.jpg"))
        tryVerify(() => find("quickLook") !== null && find("quickLook").opacity > 0)
        mouseClick(find("quickLookClose"))
        tryCompare(AppModel, "hasQuickLook", false)

        AppModel.openQuickLook(Harness.photoId("c.broken.jpg"))
        tryVerify(() => find("quickLookUnreadable") !== null && find("quickLookUnreadable").visible, 5000)
        verify(!find("quickLookSpinner").visible)
        verify(!find("quickLook").loaded)
        keyClick(Qt.Key_Escape)
        tryCompare(AppModel, "hasQuickLook", false)
        // While the closed view still fades out, a double click already opens the next photo.
        mouseDoubleClickSequence(cell("b.jpg"))
        tryCompare(AppModel, "hasQuickLook", true)
        keyClick(Qt.Key_Escape)
        tryCompare(AppModel, "hasQuickLook", false)
    }

    function test_contextMenuRevealsThePhoto() {
        show([ { kind: "exact", members: [ "a.jpg", "b.jpg" ] } ])
        tryVerify(() => cell("b.jpg") !== null)
        mouseClick(cell("b.jpg"), 40, 40, Qt.RightButton)
        const menu = card(0).openedMenu
        verify(menu)
        tryCompare(menu, "opened", true)
        findChild(menu, "menuReveal").triggered()
        compare(Harness.revealedCount(), 1)
    }

    // No duplicates: the all-clear and the teaser; an empty folder was not found clean, so
    // no success check.
    function test_emptyResultShowsTheAllClear_data() {
        return [ { tag: "clean", total: 12, title: "No duplicates here — nice and tidy!",
                   symbol: "checkmark.circle.fill" },
                 { tag: "no photos", total: 0, title: "No photos found", symbol: "folder" } ]
    }
    function test_emptyResultShowsTheAllClear(data) {
        show([], data.total)
        verify(find("allClear").visible)
        verify(!find("groupList").visible)
        compare(find("allClearTitle").text, data.title)
        compare(find("allClearSymbol").name, data.symbol)
        compare(find("noPhotosBody").visible, data.total === 0)
        verify(find("teaser").visible)
        compare(find("summaryText").text, data.total + " photos · 0 duplicates")
    }

    function test_onlyTheCardsInViewAreMade() {
        const groups = []
        for (let i = 0; i < 1500; ++i)
            groups.push({ kind: i < 1000 ? "exact" : "near",
                          members: [ "g" + i + "a.broken.jpg", "g" + i + "b.broken.jpg" ] })
        show(groups, 3000)
        const list = find("groupList")
        compare(list.count, 1500)
        const made = () => {
            let n = 0
            const children = list.contentItem.children
            for (let i = 0; i < children.length; ++i)
                n += children[i].groupId !== undefined && children[i].visible ? 1 : 0
            return n
        }
        verify(made() < 20, made())
        list.positionViewAtEnd()
        tryVerify(() => list.itemAtIndex(1499) !== null)
        verify(made() < 20, made())
        tryVerify(() => find("nearSectionHeader") !== null)
    }
}
