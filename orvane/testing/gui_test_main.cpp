// main() for test programs whose tests need a QApplication (widgets,
// settings, standard paths). Each run gets a fresh, empty home for data and
// settings, so tests never read or change the user's own.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath(QStringLiteral("cache"))));
    qunsetenv("VELUMAR_PASSWORD");
    // Test discovery runs without the test environment: never want a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, home.filePath(QStringLiteral("config")));

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("OrvaneVLM"));
    QApplication::setApplicationName(QStringLiteral("OrvaneVLM"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
