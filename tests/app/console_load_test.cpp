#include "app/console_process.h"

namespace {

// Runs the viewer in console mode on `file`, feeding `input`, and returns its output lines.
class ConsoleRun : public ::testing::Test {
protected:
    QTemporaryDir home;

    QString generate(const QString &name, const QStringList &args) { return ConsoleProcess::generate(home, name, args); }

    QStringList run(const QString &file, const QByteArray &input)
    {
        return ConsoleProcess::run(home, {file}, input).split(u'\n');
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
