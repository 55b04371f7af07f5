#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Runs the viewer in console mode on `file`, feeding `input`, and returns its output lines.
class ConsoleRun : public ::testing::Test {
protected:
    QTemporaryDir home;

    QString generate(const QString &name, const QStringList &args)
    {
        const QString out = home.filePath(name);
        QProcess gen;
        gen.start(QStringLiteral(LMDGEN_PATH), QStringList(args) << out);
        EXPECT_TRUE(gen.waitForFinished(60000));
        EXPECT_EQ(gen.exitCode(), 0);
        return out;
    }

    QStringList run(const QString &file, const QByteArray &input)
    {
        QProcess viewer;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        viewer.setProcessEnvironment(env);
        viewer.start(QStringLiteral(VIEWER_PATH),
                     {QStringLiteral("--console"), QStringLiteral("--settings"), home.filePath(QStringLiteral("s.ini")), file});
        EXPECT_TRUE(viewer.waitForStarted(10000));
        viewer.write(input);
        viewer.closeWriteChannel();
        EXPECT_TRUE(viewer.waitForFinished(60000));
        EXPECT_EQ(viewer.exitCode(), 0) << viewer.readAllStandardError().constData();
        return QString::fromUtf8(viewer.readAllStandardOutput()).split(u'\n');
    }

    static bool hasLineStartingWith(const QStringList &lines, const QString &start)
    {
        for (const QString &l : lines) {
            if (l.startsWith(start))
                return true;
        }
        return false;
    }
};

} // namespace

TEST_F(ConsoleRun, LoadsTheNamedFileAndReportsIt)
{
    const QString file = generate(QStringLiteral("scan.lmd"), {"--channels", "2", "--rows", "1200", "--ut"});
    const QStringList out = run(file, ":state\n");
    EXPECT_TRUE(out.contains(QStringLiteral("say: Samples Loaded:  1200"))) << out.join(u'\n').toStdString();
    EXPECT_TRUE(hasLineStartingWith(out, QStringLiteral("state: loaded=1 channels=2 last_index=1199 ")))
        << out.join(u'\n').toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("say: Closing Lumora Sonified Review Program.")));
}

TEST_F(ConsoleRun, ACorruptFileIsABoxLine)
{
    const QString file = generate(QStringLiteral("bad.lmd"), {"--rows", "50", "--num-channels-field", "0"});
    const QStringList out = run(file, ":state\n");
    EXPECT_TRUE(out.contains(QStringLiteral("box: File Load Aborted | The file: ") + file
                             + QStringLiteral("\\r\\nIs corrupted or not a valid data file.")))
        << out.join(u'\n').toStdString();
    EXPECT_TRUE(hasLineStartingWith(out, QStringLiteral("state: loaded=0 ")));
}
