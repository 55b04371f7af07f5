#include "app/console_process.h"
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QtEndian>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

struct ConsoleOptionsTest : ::testing::Test {
    QTemporaryDir home;

    // The console (or the window) with --settings `settings`; 15 s is far more than a refusal takes.
    ConsoleProcess::Outcome withSettings(const QString &settings, bool console = true)
    {
        QStringList args{QStringLiteral("--settings"), settings};
        if (console)
            args.prepend(QStringLiteral("--console"));
        return ConsoleProcess::runViewer(home, args, ":state\n", 15000);
    }
    static void expectRefused(const ConsoleProcess::Outcome &o, const QString &path, const char *why)
    {
        EXPECT_TRUE(o.finished) << path.toStdString();
        EXPECT_EQ(o.exitCode, 2) << path.toStdString();
        EXPECT_TRUE(o.err.contains(path) && o.err.contains(QLatin1String(why))) << o.err.toStdString();
        EXPECT_TRUE(o.out.isEmpty()) << o.out.toStdString();
    }
    // A 64 kB disk mounted in the scratch home, or nothing where mounting is not allowed.
    QString smallDisk()
    {
        const QString disk = home.filePath(QStringLiteral("disk"));
        QDir().mkpath(disk);
        if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", disk}) != 0)
            return {};
        mounted_ = disk;
        return disk;
    }
    void TearDown() override
    {
        if (!mounted_.isEmpty())
            QProcess::execute(QStringLiteral("umount"), {mounted_});
    }

private:
    QString mounted_;
};

// A pipe would block the start, a device would be replaced by a plain file when the settings
// are saved, a folder or an uncreatable path would lose every change without a word.
TEST_F(ConsoleOptionsTest, SettingsFileMustBeARegularFileOrCreatable)
{
    const QString fifo = home.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    expectRefused(withSettings(fifo), fifo, "not a regular file");
    expectRefused(withSettings(fifo, false), fifo, "not a regular file");   // the window too

    const QString folder = home.filePath(QStringLiteral("folder"));
    QDir().mkpath(folder);
    expectRefused(withSettings(folder), folder, "not a regular file");

    QFile plain(home.filePath(QStringLiteral("plain.txt")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString underFile = plain.fileName() + QStringLiteral("/s.ini");
    expectRefused(withSettings(underFile), underFile, "cannot be created");

    // A device node of our own, like /dev/null (needs the right to make one).
    const QString device = home.filePath(QStringLiteral("null"));
    if (mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        expectRefused(withSettings(device), device, "not a regular file");
        struct stat st {};
        ASSERT_EQ(stat(QFile::encodeName(device).constData(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the device node was replaced";
    }

    // A new file in a new folder is fine: it is created at once.
    const QString fresh = home.filePath(QStringLiteral("new/folder/s.ini"));
    const ConsoleProcess::Outcome ok = withSettings(fresh);
    EXPECT_EQ(ok.exitCode, 0) << ok.err.toStdString();
    EXPECT_TRUE(ok.out.contains(QStringLiteral("state: ")));
    EXPECT_TRUE(QFile::exists(fresh));
}

TEST_F(ConsoleOptionsTest, SettingsOnAReadOnlyDiskAreRefused)
{
    const QString disk = smallDisk();
    if (disk.isEmpty())
        GTEST_SKIP() << "cannot mount a small disk here";
    const QString settings = disk + QStringLiteral("/s.ini");
    QFile f(settings);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Settings]\nScanSpeed=50\n");
    f.close();
    ASSERT_EQ(QProcess::execute(QStringLiteral("mount"), {"-o", "remount,ro", disk}), 0);
    expectRefused(withSettings(settings), settings, "cannot be read and written");
}

struct WavRun {
    ConsoleProcess::Outcome outcome;
    QStringList failures;   // the spoken write failures
};

// A recording that cannot be written is no success: said once, status 1.
TEST_F(ConsoleOptionsTest, WavWriteFailureIsSpokenOnceAndFailsTheRun)
{
    const QString data = ConsoleProcess::generate(home, QStringLiteral("ramp.lmd"),
                                                  {QStringLiteral("--signal"), QStringLiteral("ramp"), QStringLiteral("--rows"), QStringLiteral("200")});
    auto record = [&](const QString &wav) {
        WavRun r;
        r.outcome = ConsoleProcess::runViewer(home,
                                              {QStringLiteral("--console"), QStringLiteral("--settings"), home.filePath(QStringLiteral("s.ini")),
                                               QStringLiteral("--scan-speed"), QStringLiteral("10"), QStringLiteral("--wav"), wav, data},
                                              "SCAN\n:state\n", 30000);
        r.failures = ConsoleProcess::lines(r.outcome.out).filter(QStringLiteral("say: The sound file ") + wav + QStringLiteral(" could not be written"));
        EXPECT_TRUE(r.outcome.finished);
        EXPECT_EQ(r.outcome.exitCode, 1) << r.outcome.err.toStdString();
        EXPECT_EQ(r.failures.size(), 1) << r.outcome.out.toStdString();
        return r;
    };
    record(QStringLiteral("/dev/full"));

    const QString disk = smallDisk();
    if (disk.isEmpty())
        GTEST_SKIP() << "cannot mount a small disk here";
    // 199 steps of a tenth of a second are 880 kB of sound: the disk fills on the way.
    const QString wav = disk + QStringLiteral("/scan.wav");
    record(wav);
    QFile f(wav);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray all = f.readAll();
    ASSERT_GT(all.size(), 44 + 4096);
    EXPECT_EQ(all.left(4), "RIFF");
    EXPECT_EQ(qFromLittleEndian<quint32>(all.constData() + 4), quint32(all.size() - 8));
    EXPECT_EQ(qFromLittleEndian<quint32>(all.constData() + 40), quint32(all.size() - 44));
}

} // namespace
