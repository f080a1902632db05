// The command line: what is run, what prints the usage or the version, and
// what is refused before any window opens.
#include "embedded_server.h"
#include "startup/command_line.h"

#include <QFile>
#include <gtest/gtest.h>

namespace velumar {
namespace {

struct LineCase {
    QStringList arguments; // without the program
    CommandLineAction action;
    QString problem;
};

TEST(CommandLine, RunsUsageVersionOrRefuses) {
    using A = CommandLineAction;
    const LineCase cases[] = {
        {{}, A::Run, {}},
        {{"--server", "http://host:8470", "--operator", "demo", "--db", "/tmp/x.db"}, A::Run, {}},
        {{"--server=http://host:8470", "--operator=demo", "--db=/tmp/x.db"}, A::Run, {}},
        {{"/NoCheck", "--operator", "demo"}, A::Run, {}},
        // A value that looks like an option is still the value.
        {{"--operator", "--help-desk"}, A::Run, {}},
        {{"--help"}, A::Usage, {}},
        {{"-h"}, A::Usage, {}},
        {{"--version"}, A::Version, {}},
        // Asking for help wins over a mistake anywhere on the line.
        {{"--bogus", "--help"}, A::Usage, {}},
        {{"--version", "--bogus"}, A::Version, {}},
        {{"--bogus"}, A::Refuse, "unknown option --bogus"},
        {{"-x", "--other"}, A::Refuse, "unknown option -x"},
        {{"--servers=http://host"}, A::Refuse, "unknown option --servers=http://host"},
        {{"/check"}, A::Refuse, "unknown option /check"},
        {{"nocheck"}, A::Refuse, "unexpected argument nocheck"},
        {{"--operator", "demo", "extra"}, A::Refuse, "unexpected argument extra"},
        {{"--operator"}, A::Refuse, "option --operator needs a value"},
        {{"--db"}, A::Refuse, "option --db needs a value"},
    };
    for (const LineCase& c : cases) {
        const CommandLineRequest request = ParseCommandLine(QStringList{"velumar"} + c.arguments);
        const QString line = c.arguments.join(' ');
        EXPECT_EQ(request.action, c.action) << line.toStdString();
        EXPECT_EQ(request.problem, c.problem) << line.toStdString();
    }
}

TEST(CommandLine, UsageNamesEveryOptionAndTheDatabaseDefault) {
    const QString usage = UsageText("velumar", "/home/op/.local/share/OrvaneVLM/OrvaneVLM/v.db");
    EXPECT_TRUE(usage.startsWith(
        "Usage: velumar [--server URL] [--operator ID] [--db FILE] [/nocheck]\n"));
    for (const char* option : {"--server URL", "--operator ID", "--db FILE", "/nocheck", "--help",
                               "--version", "VELUMAR_PASSWORD"})
        EXPECT_TRUE(usage.contains(option)) << option;
    EXPECT_TRUE(usage.contains("\n                  /home/op/.local/share/OrvaneVLM/OrvaneVLM/v.db\n"));
    EXPECT_TRUE(usage.endsWith('\n'));
    // A terminal of 80 columns shows every line whole.
    for (const QString& line : usage.split('\n'))
        EXPECT_LE(line.size(), 80) << line.toStdString();
    EXPECT_EQ(VersionText("1.2.3"), "Velumar 1.2.3\n");
}

// The README tells a new user where the embedded database is; that must be
// where the program puts it (here under the test's own data home).
TEST(CommandLine, TheReadmeNamesTheDatabaseWhereTheProgramPutsIt) {
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    ASSERT_FALSE(dataHome.isEmpty());
    const QString path = orvane::defaultEmbeddedDatabasePath();
    ASSERT_TRUE(path.startsWith(dataHome + '/')) << path.toStdString();
    const QString documented = "~/.local/share" + path.mid(dataHome.size());

    QFile readme(QString::fromUtf8(VELUMAR_SOURCE_DIR) + "/README.md");
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QString::fromUtf8(readme.readAll());
    EXPECT_TRUE(text.contains(documented)) << documented.toStdString();
}

} // namespace
} // namespace velumar
