#include "ui/CommandLine.h"

#include <QCoreApplication>

namespace quorlix {

CommandLine CommandLine::parse(const QStringList& arguments) {
    CommandLine line;
    bool optionsEnd = false;
    for (const QString& argument : arguments) {
        if (!optionsEnd && argument == QLatin1String("--")) {
            optionsEnd = true;
        } else if (!optionsEnd &&
                   (argument == QLatin1String("-h") || argument == QLatin1String("--help"))) {
            return {Action::help, {}, {}};
        } else if (!optionsEnd &&
                   (argument == QLatin1String("-v") || argument == QLatin1String("--version"))) {
            return {Action::version, {}, {}};
        } else if (!optionsEnd && argument.startsWith(u'-') && argument.size() > 1) {
            return {Action::error, {}, QStringLiteral("Unknown option %1.").arg(argument)};
        } else if (line.folder.isEmpty()) {
            line.folder = argument;
        } else {
            return {Action::error, {}, QStringLiteral("Give at most one folder.")};
        }
    }
    return line;
}

CommandLine CommandLine::parseEarly(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == QLatin1String("--"))
            break;
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
            return {Action::help, {}, {}};
        if (argument == QLatin1String("-v") || argument == QLatin1String("--version"))
            return {Action::version, {}, {}};
    }
    return {};
}

QString CommandLine::helpText(const QString& program) {
    return QStringLiteral("Usage: %1 [FOLDER]\n"
                          "Finds exact copies and look-alike bursts of photos in FOLDER (or a\n"
                          "folder chosen in the window) and moves the others away, with undo.\n"
                          "\n"
                          "  -h, --help     show this help and quit\n"
                          "  -v, --version  show the version and quit\n")
        .arg(program);
}

} // namespace quorlix
