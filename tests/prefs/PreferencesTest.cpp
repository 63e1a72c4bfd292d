#include "prefs/Preferences.h"

#include "prefs/FolderBookmarks.h"
#include "tests/prefs/PrefsTestSupport.h"
#include "tests/support/StdoutCapture.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSettings>

#include <gtest/gtest.h>

#include <cstdlib>
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
    EXPECT_EQ(describe(preferences), "input=absent output=absent smart=true\n");
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
    EXPECT_EQ(readByNewProcess(), stored + "false\n");

    whileUnwritable([&] {
        EXPECT_FALSE(preferences.setInputFolderBookmark("new"));
        EXPECT_FALSE(preferences.setOutputFolderBookmark("new"));
        EXPECT_FALSE(preferences.setUseSmartCategories(true));
    });
    QObject::disconnect(connection);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(describe(preferences), stored + "false\n");
    EXPECT_EQ(readByNewProcess(), stored + "false\n");

    // true is written, not only assumed while the entry is absent.
    ASSERT_TRUE(preferences.setUseSmartCategories(true));
    EXPECT_EQ(readByNewProcess(), stored + "true\n");
}

// Set for the new process of the test below: the preferences file it starts from, copied into its own
// configuration folder before anything reads it.
constexpr char kStartFrom[] = "FOLDWISE_TEST_PREFERENCES_FROM";

// What a new process reads as the choice for a taken name: this program again, running only the test below.
std::string onNameTakenReadByNewProcess() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kStartFrom), QString::fromStdString(preferencesFile().native()));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=PreferencesTest.TheChoiceForATakenNameIsReadAfterARestart")});
    EXPECT_TRUE(child.waitForFinished());
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    return QRegularExpression(QStringLiteral("onNameTaken=(\\w+)")).match(output).captured(1).toStdString();
}

TEST(PreferencesTest, TheChoiceForATakenNameIsReadAfterARestart) {
    if (const char* from = std::getenv(kStartFrom)) {
        fs::create_directories(preferencesFile().parent_path());
        fs::copy_file(from, preferencesFile());
        const bool keepsBoth = Preferences::shared().onNameTaken() == OnNameTaken::KeepBoth;
        std::printf("onNameTaken=%s\n", keepsBoth ? "keepBoth" : "leave");
        return;
    }
    clearPreferences();
    Preferences& preferences = Preferences::shared();
    EXPECT_EQ(preferences.onNameTaken(), OnNameTaken::Leave);
    ASSERT_TRUE(preferences.setOnNameTaken(OnNameTaken::KeepBoth));
    EXPECT_EQ(preferences.onNameTaken(), OnNameTaken::KeepBoth);
    EXPECT_EQ(onNameTakenReadByNewProcess(), "keepBoth");
    ASSERT_TRUE(preferences.setOnNameTaken(OnNameTaken::Leave));
    EXPECT_EQ(onNameTakenReadByNewProcess(), "leave");

    // A value written by something else, or by a later version, leaves files where they are.
    for (const QVariant& stored : {QVariant(QStringLiteral("KeepBoth")), QVariant(true), QVariant(1)}) {
        QSettings(QStringLiteral("Foldwise"), QStringLiteral("Foldwise"))
            .setValue(QStringLiteral("onNameTaken"), stored);
        EXPECT_EQ(preferences.onNameTaken(), OnNameTaken::Leave) << stored.toString().toStdString();
        EXPECT_EQ(onNameTakenReadByNewProcess(), "leave") << stored.toString().toStdString();
    }
}

} // namespace
} // namespace foldwise
