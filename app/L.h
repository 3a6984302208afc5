#pragma once

#include <QString>
#include <QVariantList>
#include <cstdint>
#include <span>

// Every user-visible text, by key ("move.doneTrash"), with its English default built in.
// Entries with placeholders take their values in order; each text is resolved when read.
namespace quorlix::L {

struct Entry {
    const char* key;
    const char* english;
};

// All entries, in catalogue order.
std::span<const Entry> entries();
// The entry of `key`, or nothing.
const Entry* find(const char* key);
// The text of any entry by key, unformatted; the key itself when it is unknown.
QString text(const QString& key);
// Any entry by key with its placeholder values (integers for "%d", texts for "%@"), for
// callers that only know the key at run time. Values that do not fit the entry give the
// empty text (and a log line), never a half-formatted one.
QString format(const QString& key, const QVariantList& values);

namespace app {
QString name();
QString tagline();
QString byVeltrano();
} // namespace app

namespace empty {
QString title();
QString body();
QString privacyNote();
QString chooseFolder();
} // namespace empty

namespace scan {
QString title();
QString enumerating();
QString hashing();
QString analyzing();
QString grouping();
QString scoring();
QString cancel();
QString counter(std::int64_t current, std::int64_t total);
} // namespace scan

namespace results {
QString title();
QString summary(std::int64_t photos, std::int64_t duplicates, const QString& sizeText);
QString exactSection();
QString nearSection();
QString keepHint();
QString shareKeepers();
QString nothingFound();
QString allDone();
QString newScan();
QString members(std::int64_t count);
QString resetAuto();
QString locked();
QString lockedHint();
QString bestShot();
QString keep();
QString revealInFileManager();
QString score(std::int64_t score);
} // namespace results

namespace move {
QString menu();
QString toTrash();
QString toFolder();
QString confirmTitleTrash();
QString confirmTitleFolder();
QString exactLine(std::int64_t count, const QString& sizeText);
QString nearLine(std::int64_t count, const QString& sizeText);
QString keeperLine();
QString confirm();
QString cancel();
QString undo();
QString choosePrompt();
QString chooseMessage();
QString doneTrash(std::int64_t count);
QString doneFolder(std::int64_t count);
QString failed(std::int64_t count);
QString undone(std::int64_t count);
} // namespace move

namespace teaser {
QString lead();
QString cta();
QString bestShotQ();
QString bestShotA();
QString peopleQ();
QString peopleA();
QString semanticQ();
QString semanticA();
QString renameQ();
QString renameA();
QString storiesQ();
QString storiesA();
QString iphoneQ();
QString iphoneA();
QString privacyQ();
QString privacyA();
QString freeQ();
QString freeA();
} // namespace teaser

namespace splash {
QString title();
QString body(std::int64_t duplicates, const QString& sizeText);
QString shareTitle();
QString shareBody();
QString shareButton();
QString upsellTitle();
QString upsellBody();
QString upsellButton();
QString seeResults();
} // namespace splash

namespace share {
QString cardHeadline();
QString cardDuplicates();
QString cardReclaim();
QString cardScanned();
QString cardPunchline();
QString text(std::int64_t duplicates, const QString& sizeText, const QString& hashtag,
             const QString& link);
QString copied();
} // namespace share

namespace topbar {
QString getVeltrano();
QString changeFolder();
} // namespace topbar

namespace req {
QString line();
QString compatible();
QString needsAppleSilicon();
QString needsOS(const QString& systemVersion);
QString needsMac();
} // namespace req

namespace error {
QString folderUnreadable();
QString title();
QString ok();
} // namespace error

// The share picker's actions and what they report.
namespace picker {
QString copyImage();
QString copyFiles();
QString reveal();
QString email();
QString saveCopy();
QString saveTitle();
QString copied();
QString saved(const QString& folderName);
QString cardFailed();
QString copyFailed();
QString revealFailed();
QString emailFailed();
QString saveFailed();
} // namespace picker

// What the checks made just before moving and undoing report.
namespace check {
QString skipped(std::int64_t count);
QString noTrash(std::int64_t count);
QString insideFolder();
QString undoBlocked(std::int64_t count);
QString undoLeft(std::int64_t count);
} // namespace check
// The preferences' analysis cache line.
namespace prefs {
QString forgetCache();
QString cacheSize(const QString& size); // the size as formatByteCount gives it
QString forgetCacheFailed();
} // namespace prefs

} // namespace quorlix::L
