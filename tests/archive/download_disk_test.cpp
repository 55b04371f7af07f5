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

TEST_F(DownloadDiskTest, AFullDiskAndAReadOnlyOneSaySoAndKeepTheOldFile)
{
    if (!mountTmpfs("size=64k"))
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    const QString file = QDir(mounted).filePath(QStringLiteral("r.lmd"));
    writeFile(file, "old");
    server.serve("/big", QByteArray(256 * 1024, 'b'));
    EXPECT_TRUE(failure("/big", "disk/r.lmd").endsWith("cannot be written: The disk is full. Make room on it, or set DataDirectory to a folder on another disk."));
    EXPECT_EQ(readFile(file), "old");
    EXPECT_EQ(QDir(mounted).entryList(QDir::Files | QDir::Hidden), QStringList{"r.lmd"});

    ASSERT_EQ(::mount("none", mounted.toLocal8Bit().constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    server.serve("/r", "bytes");
    EXPECT_TRUE(failure("/r", "disk/r.lmd").endsWith("cannot be written: The disk can only be read, not written. Set DataDirectory to a folder you can write to."));
    EXPECT_EQ(readFile(file), "old");
}

} // namespace
#endif
