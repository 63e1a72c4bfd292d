#include "prefs/Preferences.h"

#include "prefs/FolderBookmarks.h"
#include "tests/prefs/PrefsTestSupport.h"
#include "tests/support/StdoutCapture.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>

#include <gtest/gtest.h>

#include <numeric>

namespace foldwise {
namespace {

using namespace test;

// What a new process, as after a restart, reads from the preferences.
std::string readByNewProcess() {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--print-preferences")});
    EXPECT_TRUE(child.waitForFinished());
    return child.readAllStandardOutput().toStdString();
}

// From a first launch, which restores nothing and sorts by category, to writes that succeed and fail.
TEST(PreferencesTest, EveryWriteReachesTheDiskAndIsAnnouncedWhileAFailedOneChangesNothing) {
    clearPreferences();
    Preferences& preferences = Preferences::shared();
    EXPECT_EQ(describe(preferences), "input=absent output=absent smart=true taken=leave\n");
    std::optional<fs::path> input;
    std::optional<fs::path> output;
    EXPECT_EQ(captureStdout([&] { restoreFolders(preferences, input, output); }), "");
    EXPECT_FALSE(input || output);
    EXPECT_TRUE(QSettings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise")).allKeys().isEmpty());

    QByteArray everyByte(256, '\0');
    std::iota(everyByte.begin(), everyByte.end(), '\0');
    const std::string stored = "input=" + everyByte.toHex().toStdString() + " output= smart=";
    int changes = 0;
    const auto connection = QObject::connect(&preferences, &Preferences::changed, [&] { ++changes; });
    EXPECT_TRUE(preferences.setInputFolderBookmark(everyByte));
    EXPECT_TRUE(preferences.setOutputFolderBookmark(QByteArray()));
    EXPECT_TRUE(preferences.setUseSmartCategories(false));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(readByNewProcess(), stored + "false taken=leave\n");

    whileUnwritable([&] {
        EXPECT_FALSE(preferences.setInputFolderBookmark("new"));
        EXPECT_FALSE(preferences.setOutputFolderBookmark("new"));
        EXPECT_FALSE(preferences.setUseSmartCategories(true));
    });
    QObject::disconnect(connection);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(describe(preferences), stored + "false taken=leave\n");
    EXPECT_EQ(readByNewProcess(), stored + "false taken=leave\n");

    // true is written, not only assumed while the entry is absent.
    ASSERT_TRUE(preferences.setUseSmartCategories(true));
    EXPECT_EQ(readByNewProcess(), stored + "true taken=leave\n");
}

// The choice for a taken name survives a restart; a value written by something else, or by a later
// version, leaves files where they are.
TEST(PreferencesTest, TheChoiceForATakenNameIsReadAfterARestart) {
    clearPreferences();
    Preferences& preferences = Preferences::shared();
    ASSERT_TRUE(preferences.setOnNameTaken(OnNameTaken::KeepBoth));
    EXPECT_NE(readByNewProcess().find(" taken=keepBoth\n"), std::string::npos);
    for (const QVariant& stored : {QVariant(QStringLiteral("KeepBoth")), QVariant(true), QVariant(1)}) {
        QSettings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise"))
            .setValue(QStringLiteral("onNameTaken"), stored);
        EXPECT_NE(readByNewProcess().find(" taken=leave\n"), std::string::npos) << stored.toString().toStdString();
    }
}

} // namespace
} // namespace foldwise
