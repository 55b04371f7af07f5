#include "archive/downloader_fixture.h"
#include <QDir>
#include <QScopeGuard>
#ifdef Q_OS_LINUX
#include <sys/mount.h>
#include <unistd.h>

// A full disk and a read-only one, as real small file systems: only root may make them here.
namespace {

TEST_F(DownloaderTest, AFullDiskAndAReadOnlyOneSaySoAndKeepTheOldFile)
{
    const QString mounted = path(QStringLiteral("disk"));
    const QByteArray disk = mounted.toLocal8Bit();
    QDir().mkpath(mounted);
    if (geteuid() != 0 || ::mount("tmpfs", disk.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    const auto unmount = qScopeGuard([&] { ::umount2(disk.constData(), MNT_DETACH); });
    const QString file = QDir(mounted).filePath(QStringLiteral("r.lmd"));
    writeFile(file, "old");
    server.serve("/big", QByteArray(256 * 1024, 'b'));
    EXPECT_TRUE(failure("/big", "disk/r.lmd").endsWith("cannot be written: The disk is full. Make room on it, or set DataDirectory to a folder on another disk."));
    EXPECT_EQ(readFile(file), "old");
    EXPECT_EQ(QDir(mounted).entryList(QDir::Files | QDir::Hidden), QStringList{"r.lmd"});

    ASSERT_EQ(::mount("none", disk.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    server.serve("/r", "bytes");
    EXPECT_TRUE(failure("/r", "disk/r.lmd").endsWith("cannot be written: The disk can only be read, not written. Set DataDirectory to a folder you can write to."));
    EXPECT_EQ(readFile(file), "old");
}

} // namespace
#endif
