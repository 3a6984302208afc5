#pragma once

#include <QString>
#include <QStringList>

namespace quorlix {

// What `quorlix [FOLDER]` was asked, read from the arguments alone so that --help and
// --version answer without a display.
struct CommandLine {
    enum class Action { run, help, version, error };
    Action action = Action::run;
    QString folder;  // as given; empty when none
    QString problem; // for `error`, one sentence

    // `arguments` without the program name. Qt's own options (-platform …) are the toolkit's
    // and must already be removed, or be absent.
    static CommandLine parse(const QStringList& arguments);
    // Only whether --help or --version decides the run; safe before the application object.
    static CommandLine parseEarly(int argc, char* argv[]);
    static QString helpText(const QString& program);
};

} // namespace quorlix
