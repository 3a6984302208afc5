#include "app/L.h"

#include "app/StringCatalogue.h"
#include "engine/core/Log.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace quorlix::L {

namespace {

constexpr Entry kEntries[] = {
    {"app.name", "Quorlix"},
    {"app.tagline", "Duplicate photos, found and tidied up."},
    {"app.byVeltrano", "by Veltrano"},
    {"empty.title", "Drop a folder to scan"},
    {"empty.body", "Exact copies and look-alike bursts, found in seconds. Your photos never leave "
                   "your computer."},
    {"empty.privacyNote", "No upload · No account · No internet needed"},
    {"empty.chooseFolder", "Choose folder…"},
    {"scan.title", "Scanning"},
    {"scan.enumerating", "Listing photos"},
    {"scan.hashing", "Looking for exact copies"},
    {"scan.analyzing", "Analyzing images"},
    {"scan.grouping", "Grouping look-alikes"},
    {"scan.scoring", "Electing the best shot"},
    {"scan.cancel", "Cancel"},
    {"scan.counter", "%d of %d"},
    {"results.title", "Results"},
    {"results.summary", "%d photos · %d duplicates · %@ reclaimable"},
    {"results.exactSection", "Exact duplicates"},
    {"results.nearSection", "Look-alike groups"},
    {"results.keepHint", "Click a photo to keep it instead"},
    {"results.shareKeepers", "Share kept photos"},
    {"results.nothingFound", "No duplicates here — nice and tidy!"},
    {"results.allDone", "All sorted — your folder is clean!"},
    {"results.newScan", "Scan another folder"},
    {"results.members", "%d photos"},
    {"results.resetAuto", "Back to automatic pick"},
    {"results.locked", "Best shot in Veltrano"},
    {"results.lockedHint", "Veltrano picks the sharpest, best-exposed frame with open eyes in "
                           "every group — and cleans up the rest."},
    {"results.bestShot", "Best shot"},
    {"results.keep", "Keep"},
    {"results.revealInFileManager", "Reveal in file manager"},
    {"results.score", "%d/100"},
    {"move.menu", "Move the others…"},
    {"move.toTrash", "To Trash"},
    {"move.toFolder", "To a folder…"},
    {"move.confirmTitleTrash", "Move the others to the Trash?"},
    {"move.confirmTitleFolder", "Move the others to the folder?"},
    {"move.exactLine", "%d exact copies (%@) — identical bytes, nothing is lost."},
    {"move.nearLine",
     "%d similar shots (%@) — these are different pictures: only the kept one stays."},
    {"move.keeperLine", "One photo per group always stays where it is. You can undo right after."},
    {"move.confirm", "Move"},
    {"move.cancel", "Cancel"},
    {"move.undo", "Undo"},
    {"move.choosePrompt", "Move here"},
    {"move.chooseMessage", "Choose where to move the photos you are not keeping."},
    {"move.doneTrash", "%d photos moved to the Trash"},
    {"move.doneFolder", "%d photos moved to the folder"},
    {"move.failed", "%d could not be moved"},
    {"move.undone", "%d photos put back"},
    {"teaser.lead", "Duplicates were the easy part. What's next?"},
    {"teaser.cta", "See it in Veltrano"},
    {"teaser.bestShotQ", "Want the best shot picked in every burst?"},
    {"teaser.bestShotA", "Sharpness, exposure, open eyes: Veltrano elects the winner in each group "
                         "and tidies up the rest."},
    {"teaser.peopleQ", "Want to find everyone by face?"},
    {"teaser.peopleA",
     "Name a person once, then search \"@Anna at the beach\". Faces never leave your Mac."},
    {"teaser.semanticQ", "Want to search photos by meaning?"},
    {"teaser.semanticA",
     "\"Sunset on the lake with the dog\" — no tags, no albums, just type what you remember."},
    {"teaser.renameQ", "Want files named after what's in them?"},
    {"teaser.renameA",
     "IMG_4821.jpg becomes \"Birthday cake, Marco, 2024\". AI on-device, batch, reversible."},
    {"teaser.storiesQ", "Want your photos turned into stories?"},
    {"teaser.storiesA",
     "Veltrano writes a narrated photo story from any trip or event, ready to share."},
    {"teaser.iphoneQ", "Want a verified archive of your iPhone photos?"},
    {"teaser.iphoneA",
     "Originals and RAW copied to your Mac or external drive, hash-verified, no iCloud needed."},
    {"teaser.privacyQ", "Want all of this without uploading a single photo?"},
    {"teaser.privacyA",
     "Everything runs on your Mac's Neural Engine. No account, no cloud, no upload."},
    {"teaser.freeQ", "Want to try it for free, no strings attached?"},
    {"teaser.freeA",
     "Veltrano is free up to 200 photos. After that, a one-time purchase — no subscription, ever."},
    {"splash.title", "Done!"},
    {"splash.body", "%d duplicates found, %@ you can get back."},
    {"splash.shareTitle", "Show off your tidy library"},
    {"splash.shareBody", "We made you a card. Post it, tag a friend who hoards screenshots."},
    {"splash.shareButton", "Share result"},
    {"splash.upsellTitle", "This was the warm-up"},
    {"splash.upsellBody",
     "Veltrano finds the best shot in every burst, searches your photos by meaning, renames them "
     "with AI and keeps everything private on your Mac."},
    {"splash.upsellButton", "Discover Veltrano"},
    {"splash.seeResults", "See the results"},
    {"share.cardHeadline", "I just cleaned up my photo library"},
    {"share.cardDuplicates", "duplicates"},
    {"share.cardReclaim", "reclaimable"},
    {"share.cardScanned", "photos scanned"},
    {"share.cardPunchline", "I'm smart, I use Veltrano ;-)"},
    {"share.text", "Just found %d duplicate photos (%@!) in seconds. I'm smart, I use "
                   "Veltrano ;-) %@ %@"},
    {"share.copied", "Caption copied to clipboard"},
    {"topbar.getVeltrano", "Get Veltrano"},
    {"topbar.changeFolder", "Change folder"},
    {"req.line", "Requires macOS 26.4 and a Mac with Apple silicon (M1 or later)"},
    {"req.compatible", "Your Mac is compatible with Veltrano (macOS 26.4, Apple silicon)"},
    {"req.needsAppleSilicon", "This Mac has an Intel processor: Veltrano won't run here."},
    {"req.needsOS", "This Mac runs %@: update to macOS 26.4 or later to install Veltrano."},
    {"req.needsMac", "Veltrano runs on a Mac with Apple silicon."},
    {"error.folderUnreadable",
     "The folder could not be read. Check its permissions and try again."},
    {"error.title", "Something went wrong"},
    {"error.ok", "OK"},
    {"picker.copyImage", "Copy image"},
    {"picker.copyFiles", "Copy files"},
    {"picker.reveal", "Show in file manager"},
    {"picker.email", "Send by e-mail"},
    {"picker.saveCopy", "Save a copy…"},
    {"picker.saveTitle", "Choose where to save the copy"},
    {"picker.copied", "Copied to clipboard"},
    {"picker.saved", "Saved in %@"},
    {"picker.cardFailed", "The share card could not be made. Try again."},
    {"picker.copyFailed", "The clipboard did not take the copy. Try again."},
    {"picker.revealFailed", "The file manager could not be opened."},
    {"picker.emailFailed", "The e-mail program could not be started."},
    {"picker.saveFailed",
     "The copy could not be saved in that folder. Check that you can write there and that it has "
     "free space."},
    {"check.skipped", "%d left in place: changed since the scan"},
    {"check.noTrash", "%d could not be moved: their drive has no usable Trash"},
    {"check.insideFolder",
     "Choose a folder outside the scanned folder: photos moved into it would still be there."},
    {"check.undoBlocked", "%d could not be put back yet: press Undo to try again"},
    {"check.undoLeft", "%d left where they were moved: changed or gone since"},
    {"window.parentFolder", "Parent folder"},
    {"window.folderPath", "Folder path"},
    {"window.typePath", "Type a folder path"},
    {"window.newFolder", "New folder"},
    {"window.newFolderName", "Name of the new folder"},
    {"window.create", "Create"},
    {"window.subfolders", "Folders inside"},
    {"window.noSubfolders", "No folders inside"},
    {"window.noSuchFolder", "There is no folder at that path."},
    {"window.folderNotMade",
     "The folder could not be made. Check the name and that you can write here."},
    {"window.menuFile", "File"},
    {"window.menuEdit", "Edit"},
    {"window.menuView", "View"},
    {"window.menuHelp", "Help"},
    {"window.quit", "Quit"},
    {"window.undoMove", "Undo move"},
    {"window.appearance", "Appearance"},
    {"window.followSystem", "Same as the system"},
    {"window.light", "Light"},
    {"window.dark", "Dark"},
    {"window.language", "Language"},
    {"window.languageNote", "The new language applies the next time Quorlix starts."},
    {"window.preferences", "Preferences…"},
    {"window.about", "About Quorlix"},
    {"window.aboutBody", "Version %@. Finds exact copies and look-alike bursts of photos in a "
                         "folder and keeps the best one. Licence: %@."},
    {"window.close", "Close"},
    {"window.noPhotos", "No photos found"},
    {"window.noPhotosBody", "This folder and its subfolders hold no photos Quorlix can read."},
    {"window.topFolder", "Main folder"},
    {"window.movedTo", "Moved to %@"},
    {"window.previous", "Previous"},
    {"window.next", "Next"},
    {"window.keepThis", "Keep this one"},
    {"window.folder", "Folder"},
    {"window.size", "Size"},
    {"window.pixels", "Pixels"},
    {"window.taken", "Taken"},
    {"window.score", "Score"},
    {"window.unknown", "Unknown"},
    {"window.keptBecause", "Kept because: %@"},
    {"window.reasonChosen", "chosen by you"},
    {"window.reasonFirstCopy", "first copy by folder and name"},
    {"window.reasonIntact", "intact"},
    {"window.reasonBestScore", "highest score"},
    {"window.reasonLargest", "largest"},
    {"window.reasonLeastNoise", "least noise"},
    {"window.reasonMostPleasing", "most pleasing"},
    {"window.reasonMostFaces", "most faces"},
    {"window.reasonBestOverall", "best overall"},
    {"window.damaged", "This file is damaged; it was only partly read."},
    {"window.movedToFolder", "%d photos moved to “%@”"},
    {"prefs.forgetCache", "Forget cached analyses"},
    {"prefs.cacheSize", "Cached analyses: %@"},
    {"prefs.forgetCacheFailed", "The cached analyses could not all be removed."},
};

QString plain(int index) {
    return StringCatalogue::shared().text(kEntries[index].key, kEntries[index].english);
}

QString formatted(int index, std::initializer_list<FormatArg> args) {
    return StringCatalogue::shared().format(kEntries[index].key, kEntries[index].english, args);
}

// Whole numbers only: QML hands numbers over as doubles.
bool isInteger(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        return true;
    case QMetaType::Double: {
        const double d = value.toDouble();
        return std::trunc(d) == d && std::abs(d) < 9.2e18;
    }
    default:
        return false;
    }
}

} // namespace

QString format(const QString& key, const QVariantList& values) {
    const QByteArray utf8 = key.toUtf8();
    const Entry* entry = find(utf8.constData());
    const auto signature =
        entry ? placeholderSignature(QString::fromUtf8(entry->english)) : std::nullopt;
    std::vector<FormatArg> args;
    bool fits = signature && signature->size() == values.size();
    for (qsizetype i = 0; fits && i < values.size(); ++i) {
        const QVariant& value = values[i];
        if (signature->at(i) == QLatin1Char('d') && isInteger(value))
            args.emplace_back(std::int64_t(value.toLongLong()));
        else if (signature->at(i) == QLatin1Char('@') && value.typeId() == QMetaType::QString)
            args.emplace_back(value.toString());
        else
            fits = false;
    }
    if (!fits) {
        log::error(log::Category::ui, "String values do not fit: " + key.toStdString());
        return {};
    }
    return StringCatalogue::shared().format(entry->key, entry->english, args);
}

std::span<const Entry> entries() {
    return kEntries;
}

const Entry* find(const char* key) {
    for (const Entry& entry : kEntries)
        if (std::strcmp(entry.key, key) == 0)
            return &entry;
    return nullptr;
}

QString text(const QString& key) {
    const QByteArray utf8 = key.toUtf8();
    const Entry* entry = find(utf8.constData());
    if (!entry)
        return key;
    return StringCatalogue::shared().text(entry->key, entry->english);
}

namespace app {
QString name() {
    return plain(0);
}
QString tagline() {
    return plain(1);
}
QString byVeltrano() {
    return plain(2);
}
} // namespace app

namespace empty {
QString title() {
    return plain(3);
}
QString body() {
    return plain(4);
}
QString privacyNote() {
    return plain(5);
}
QString chooseFolder() {
    return plain(6);
}
} // namespace empty

namespace scan {
QString title() {
    return plain(7);
}
QString enumerating() {
    return plain(8);
}
QString hashing() {
    return plain(9);
}
QString analyzing() {
    return plain(10);
}
QString grouping() {
    return plain(11);
}
QString scoring() {
    return plain(12);
}
QString cancel() {
    return plain(13);
}
QString counter(std::int64_t current, std::int64_t total) {
    return formatted(14, {current, total});
}
} // namespace scan

namespace results {
QString title() {
    return plain(15);
}
QString summary(std::int64_t photos, std::int64_t duplicates, const QString& sizeText) {
    return formatted(16, {photos, duplicates, sizeText});
}
QString exactSection() {
    return plain(17);
}
QString nearSection() {
    return plain(18);
}
QString keepHint() {
    return plain(19);
}
QString shareKeepers() {
    return plain(20);
}
QString nothingFound() {
    return plain(21);
}
QString allDone() {
    return plain(22);
}
QString newScan() {
    return plain(23);
}
QString members(std::int64_t count) {
    return formatted(24, {count});
}
QString resetAuto() {
    return plain(25);
}
QString locked() {
    return plain(26);
}
QString lockedHint() {
    return plain(27);
}
QString bestShot() {
    return plain(28);
}
QString keep() {
    return plain(29);
}
QString revealInFileManager() {
    return plain(30);
}
QString score(std::int64_t score) {
    return formatted(31, {score});
}
} // namespace results

namespace move {
QString menu() {
    return plain(32);
}
QString toTrash() {
    return plain(33);
}
QString toFolder() {
    return plain(34);
}
QString confirmTitleTrash() {
    return plain(35);
}
QString confirmTitleFolder() {
    return plain(36);
}
QString exactLine(std::int64_t count, const QString& sizeText) {
    return formatted(37, {count, sizeText});
}
QString nearLine(std::int64_t count, const QString& sizeText) {
    return formatted(38, {count, sizeText});
}
QString keeperLine() {
    return plain(39);
}
QString confirm() {
    return plain(40);
}
QString cancel() {
    return plain(41);
}
QString undo() {
    return plain(42);
}
QString choosePrompt() {
    return plain(43);
}
QString chooseMessage() {
    return plain(44);
}
QString doneTrash(std::int64_t count) {
    return formatted(45, {count});
}
QString doneFolder(std::int64_t count) {
    return formatted(46, {count});
}
QString failed(std::int64_t count) {
    return formatted(47, {count});
}
QString undone(std::int64_t count) {
    return formatted(48, {count});
}
} // namespace move

namespace teaser {
QString lead() {
    return plain(49);
}
QString cta() {
    return plain(50);
}
QString bestShotQ() {
    return plain(51);
}
QString bestShotA() {
    return plain(52);
}
QString peopleQ() {
    return plain(53);
}
QString peopleA() {
    return plain(54);
}
QString semanticQ() {
    return plain(55);
}
QString semanticA() {
    return plain(56);
}
QString renameQ() {
    return plain(57);
}
QString renameA() {
    return plain(58);
}
QString storiesQ() {
    return plain(59);
}
QString storiesA() {
    return plain(60);
}
QString iphoneQ() {
    return plain(61);
}
QString iphoneA() {
    return plain(62);
}
QString privacyQ() {
    return plain(63);
}
QString privacyA() {
    return plain(64);
}
QString freeQ() {
    return plain(65);
}
QString freeA() {
    return plain(66);
}
} // namespace teaser

namespace splash {
QString title() {
    return plain(67);
}
QString body(std::int64_t duplicates, const QString& sizeText) {
    return formatted(68, {duplicates, sizeText});
}
QString shareTitle() {
    return plain(69);
}
QString shareBody() {
    return plain(70);
}
QString shareButton() {
    return plain(71);
}
QString upsellTitle() {
    return plain(72);
}
QString upsellBody() {
    return plain(73);
}
QString upsellButton() {
    return plain(74);
}
QString seeResults() {
    return plain(75);
}
} // namespace splash

namespace share {
QString cardHeadline() {
    return plain(76);
}
QString cardDuplicates() {
    return plain(77);
}
QString cardReclaim() {
    return plain(78);
}
QString cardScanned() {
    return plain(79);
}
QString cardPunchline() {
    return plain(80);
}
QString text(std::int64_t duplicates, const QString& sizeText, const QString& hashtag,
             const QString& link) {
    return formatted(81, {duplicates, sizeText, hashtag, link});
}
QString copied() {
    return plain(82);
}
} // namespace share

namespace topbar {
QString getVeltrano() {
    return plain(83);
}
QString changeFolder() {
    return plain(84);
}
} // namespace topbar

namespace req {
QString line() {
    return plain(85);
}
QString compatible() {
    return plain(86);
}
QString needsAppleSilicon() {
    return plain(87);
}
QString needsOS(const QString& systemVersion) {
    return formatted(88, {systemVersion});
}
QString needsMac() {
    return plain(89);
}
} // namespace req

namespace error {
QString folderUnreadable() {
    return plain(90);
}
QString title() {
    return plain(91);
}
QString ok() {
    return plain(92);
}
} // namespace error

namespace picker {
QString copyImage() {
    return plain(93);
}
QString copyFiles() {
    return plain(94);
}
QString reveal() {
    return plain(95);
}
QString email() {
    return plain(96);
}
QString saveCopy() {
    return plain(97);
}
QString saveTitle() {
    return plain(98);
}
QString copied() {
    return plain(99);
}
QString saved(const QString& folderName) {
    return formatted(100, {folderName});
}
QString cardFailed() {
    return plain(101);
}
QString copyFailed() {
    return plain(102);
}
QString revealFailed() {
    return plain(103);
}
QString emailFailed() {
    return plain(104);
}
QString saveFailed() {
    return plain(105);
}
} // namespace picker

namespace check {
QString skipped(std::int64_t count) {
    return formatted(106, {count});
}
QString noTrash(std::int64_t count) {
    return formatted(107, {count});
}
QString insideFolder() {
    return plain(108);
}
QString undoBlocked(std::int64_t count) {
    return formatted(109, {count});
}
QString undoLeft(std::int64_t count) {
    return formatted(110, {count});
}
} // namespace check
namespace prefs {
QString forgetCache() {
    return plain(162);
}
QString cacheSize(const QString& size) {
    return formatted(163, {size});
}
QString forgetCacheFailed() {
    return plain(164);
}
} // namespace prefs

} // namespace quorlix::L
