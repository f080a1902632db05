#include "startup/command_line.h"

#include <array>

namespace velumar {

namespace {

// The options the session reads, each with a value ("--name value" or "--name=value").
constexpr std::array<const char*, 3> ValueOptions{"--server", "--operator", "--db"};

bool isHelp(const QString& arg) {
    return arg == QLatin1String("--help") || arg == QLatin1String("-h") ||
           arg == QLatin1String("-?");
}

} // namespace

CommandLineRequest ParseCommandLine(const QStringList& arguments) {
    CommandLineRequest request;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (isHelp(arg))
            return {CommandLineAction::Usage, {}};
        if (arg == QLatin1String("--version"))
            return {CommandLineAction::Version, {}};
        if (request.action == CommandLineAction::Refuse)
            continue; // keep looking for --help or --version
        if (arg.compare(QLatin1String("/nocheck"), Qt::CaseInsensitive) == 0)
            continue;
        bool known = false;
        for (const char* option : ValueOptions) {
            const QLatin1String name(option);
            if (arg.startsWith(name + QLatin1Char('='))) {
                known = true;
            } else if (arg == name) {
                known = true;
                if (i + 1 >= arguments.size()) {
                    request = {CommandLineAction::Refuse,
                               QStringLiteral("option %1 needs a value").arg(name)};
                } else {
                    ++i;
                }
            }
            if (known)
                break;
        }
        if (known)
            continue;
        request.action = CommandLineAction::Refuse;
        request.problem = arg.startsWith(QLatin1Char('-')) || arg.startsWith(QLatin1Char('/'))
                              ? QStringLiteral("unknown option %1").arg(arg)
                              : QStringLiteral("unexpected argument %1").arg(arg);
    }
    return request;
}

QString UsageText(const QString& programName, const QString& defaultDatabasePath) {
    QString text;
    text.append(QStringLiteral("Usage: %1 [--server URL] [--operator ID] [--db FILE] [/nocheck]\n")
                    .arg(programName));
    text.append(QStringLiteral(
        "\n"
        "Batch changes to the MARC records of an Orvane library server.\n"
        "\n"
        "  --server URL    log in to the server at URL (http:// or https://);\n"
        "                  without it, or with \"embedded\", the server runs inside Velumar\n"
        "  --operator ID   log in as ID without the login dialog; the password comes\n"
        "                  from the VELUMAR_PASSWORD environment variable (the embedded\n"
        "                  server asks none)\n"));
    text.append(QStringLiteral("  --db FILE       the embedded server's database, by default\n"
                               "                  %1\n")
                    .arg(defaultDatabasePath));
    text.append(QStringLiteral("  /nocheck        skip the component version check\n"
                               "  --help          show this text and exit\n"
                               "  --version       show the version and exit\n"));
    return text;
}

QString VersionText(const QString& version) {
    QString text = QStringLiteral("Velumar ");
    text.append(version);
    text.append(QLatin1Char('\n'));
    return text;
}

} // namespace velumar
