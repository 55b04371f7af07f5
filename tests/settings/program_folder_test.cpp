#include "settings/program_folder.h"
#include "session/viewer.h"
#include "support/files.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString App = QStringLiteral("Lumora Sonified File Viewer");

TEST(ProgramFolder, IsOneLevelUnderTheUsersDataFolder)
{
    EXPECT_EQ(ProgramFolder::pathIn(QStringLiteral("/home/u/.local/share")), "/home/u/.local/share/" + App);
    EXPECT_EQ(Viewer::programFolder().count(App), 1) << Viewer::programFolder().toStdString();
}

TEST(ProgramFolder, ADoubledFolderIsMovedUpOnceWithoutOverwritingAnything)
{
    QTemporaryDir data;
    const QString folder = ProgramFolder::pathIn(data.path());
    const QString inner = QDir(folder).filePath(App);
    ASSERT_TRUE(QDir().mkpath(inner + "/Downloads"));
    writeFile(inner + "/VArecords.txt", "old index");
    writeFile(inner + "/Downloads/r.lmd", "recording");
    writeFile(inner + "/LoadErr.txt", "old log");
    writeFile(folder + "/LoadErr.txt", "newer log");

    EXPECT_FALSE(ProgramFolder::moveDoubledFolder(folder)) << "one file could not move";
    EXPECT_EQ(readFile(folder + "/VArecords.txt"), "old index");
    EXPECT_EQ(readFile(folder + "/Downloads/r.lmd"), "recording");
    EXPECT_EQ(readFile(folder + "/LoadErr.txt"), "newer log");
    EXPECT_EQ(readFile(inner + "/LoadErr.txt"), "old log") << "kept where it was, not lost";

    QFile::remove(inner + "/LoadErr.txt");
    EXPECT_TRUE(ProgramFolder::moveDoubledFolder(folder));
    EXPECT_FALSE(QFileInfo::exists(inner));
    EXPECT_TRUE(ProgramFolder::moveDoubledFolder(folder)) << "nothing left to move";
}

TEST(ProgramFolder, DownloadFolderAndTypedFolders)
{
    const QString home = QDir::homePath();
    EXPECT_EQ(ProgramFolder::downloadFolder(QString(), QStringLiteral("/p")), "/p/Downloads");
    EXPECT_EQ(ProgramFolder::downloadFolder(QStringLiteral("  "), QStringLiteral("/p")), "/p/Downloads");
    EXPECT_EQ(ProgramFolder::downloadFolder(QStringLiteral("~/dl"), QStringLiteral("/p")), home + "/dl");
    EXPECT_EQ(ProgramFolder::downloadFolder(QStringLiteral("~"), QStringLiteral("/p")), home);
    EXPECT_EQ(ProgramFolder::downloadFolder(QStringLiteral("dl/x/.."), QStringLiteral("/p")), "/p/dl");
    EXPECT_EQ(ProgramFolder::downloadFolder(QStringLiteral("/data/obs/"), QStringLiteral("/p")), "/data/obs");
    EXPECT_EQ(ProgramFolder::downloadFolder(QStringLiteral("a~/b"), QStringLiteral("/p")), "/p/a~/b");
}

} // namespace
