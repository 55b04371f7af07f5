#include "archive/downloader_fixture.h"
#include <QDir>
#ifdef Q_OS_LINUX
#include <sys/mount.h>
#include <unistd.h>

// A full disk and a read-only one, as real small file systems: only root may make them here.
namespace {

class DownloadDiskTest : public DownloaderTest {
protected:
    QString mounted;

    // Mounts a small tmpfs on a fresh folder; false (and the test skips) where that is not allowed.
    bool mountTmpfs(const char *options)
    {
        mounted = path(QStringLiteral("disk"));
        QDir().mkpath(mounted);
        if (geteuid() == 0 && ::mount("tmpfs", mounted.toLocal8Bit().constData(), "tmpfs", 0, options) == 0)
            return true;
        mounted.clear();
        return false;
    }
    void TearDown() override
    {
        if (!mounted.isEmpty())
            ::umount2(mounted.toLocal8Bit().constData(), MNT_DETACH);
    }
};

TEST_F(DownloadDiskTest, AFullDiskSaysSoAndKeepsTheOldFile)
{
    if (!mountTmpfs("size=64k"))
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    const QString file = QDir(mounted).filePath(QStringLiteral("r.lmd"));
    writeFile(file, "old");
    server.serve("/big", QByteArray(256 * 1024, 'b'));

    EXPECT_FALSE(downloader.doDownload(at("/big"), file));
    ASSERT_FALSE(voice.spoken.isEmpty());
    EXPECT_TRUE(voice.spoken.last().endsWith("cannot be written: The disk is full. Make room on it, or set DataDirectory to "
                                             "a folder on another disk."))
        << voice.spoken.last().toStdString();
    EXPECT_EQ(readFile(file), "old");
    EXPECT_EQ(QDir(mounted).entryList(QDir::Files | QDir::Hidden), QStringList{"r.lmd"});
}

TEST_F(DownloadDiskTest, AReadOnlyDiskSaysSo)
{
    if (!mountTmpfs("size=64k") || ::mount("none", mounted.toLocal8Bit().constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        GTEST_SKIP() << "mounting a read-only tmpfs needs root";
    server.serve("/r", "bytes");

    EXPECT_FALSE(downloader.doDownload(at("/r"), QDir(mounted).filePath(QStringLiteral("r.lmd"))));
    ASSERT_FALSE(voice.spoken.isEmpty());
    EXPECT_TRUE(voice.spoken.last().endsWith("cannot be written: The disk can only be read, not written. Set DataDirectory "
                                             "to a folder you can write to."))
        << voice.spoken.last().toStdString();
}

} // namespace
#endif
