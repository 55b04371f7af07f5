#include "app/console_process.h"
#include <QRegularExpression>

namespace {

// How the console takes its input while long work runs: a ":esc" line stops the work at
// once, other lines wait for it, and the end of input stops it too.
struct ConsoleInputTest : ::testing::Test {
    QTemporaryDir home;

    QString ramp(int rows)
    {
        return ConsoleProcess::generate(home, QStringLiteral("ramp.lmd"),
                                        {QStringLiteral("--signal"), QStringLiteral("ramp"), QStringLiteral("--noise"),
                                         QStringLiteral("0"), QStringLiteral("--rows"), QString::number(rows)});
    }
    // The console on `file` at `speed` steps per second; 30 s is far below a scan that is not stopped.
    QStringList run(const QString &file, int speed, const QByteArray &input)
    {
        return ConsoleProcess::lines(
            ConsoleProcess::run(home, {QStringLiteral("--scan-speed"), QString::number(speed), file}, input, 30000));
    }
    static qsizetype indexOf(const QStringList &lines, const QString &start)
    {
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (lines[i].startsWith(start))
                return i;
        return -1;
    }
};

// At 10 steps per second these scans would take over three minutes.
TEST_F(ConsoleInputTest, EscapeLineOrEndOfInputStopsARunningScan)
{
    const QString file = ramp(2000);
    QStringList out = run(file, 10, "SCAN\n:esc\n:state\n");
    const qsizetype off = indexOf(out, QStringLiteral("say: Chart Sound Off."));
    ASSERT_GE(off, 0) << out.join(u'\n').toStdString();
    const qsizetype state = indexOf(out, QStringLiteral("state: "));
    EXPECT_GT(state, off);
    EXPECT_TRUE(out[state].contains(QStringLiteral(" toolbar_mode=1 ")));

    out = run(file, 10, "SCAN\n");
    EXPECT_GE(indexOf(out, QStringLiteral("say: Chart Sound Off.")), 0);
    EXPECT_EQ(out.last(), QStringLiteral("say: Closing Lumora Sonified Review Program."));
}

// Lines other than ":esc" wait until the scan is done, then run in order.
TEST_F(ConsoleInputTest, OtherLinesWaitForTheScan)
{
    const QStringList out = run(ramp(300), 0, "SCAN\n:space\n:state\n");
    const qsizetype off = indexOf(out, QStringLiteral("say: Chart Sound Off."));
    ASSERT_GE(off, 0);
    EXPECT_EQ(indexOf(out, QStringLiteral("say: Scan Paused")), -1) << "the space waited for the scan's end";
    EXPECT_GT(indexOf(out, QStringLiteral("state: ")), off);
}

// A blank typed after a scan has ended is only a blank: the next scan runs to its end.
TEST_F(ConsoleInputTest, SpaceAfterAScanIsNoPause)
{
    const QStringList out = run(ramp(10), 0, "SCAN\n:space\nSCAN\n:state\n");
    EXPECT_EQ(out.filter(QStringLiteral("say: Scan Paused")).size(), 0) << out.join(u'\n').toStdString();
    EXPECT_EQ(out.filter(QStringLiteral("say: Chart Sound Off.")).size(), 2);
    const qsizetype state = indexOf(out, QStringLiteral("state: "));
    ASSERT_GE(state, 0);
    EXPECT_TRUE(out[state].contains(QStringLiteral(" sound_on=0 "))) << out[state].toStdString();
}

// A file name cannot forge protocol lines: the state line escapes it as say: does.
TEST_F(ConsoleInputTest, StateLineEscapesLikeEveryOtherLine)
{
    const QString file = ConsoleProcess::generate(home, QStringLiteral("evil\nsay: forged\\\x01.lmd"), {QStringLiteral("--rows"), QStringLiteral("20")});
    const QStringList out = ConsoleProcess::lines(ConsoleProcess::run(home, {file}, ":state\n"));
    EXPECT_TRUE(out.filter(QRegularExpression(QStringLiteral("^say: forged"))).isEmpty());
    const QStringList state = out.filter(QRegularExpression(QStringLiteral("^state: ")));
    ASSERT_EQ(state.size(), 1);
    EXPECT_TRUE(state[0].endsWith(QStringLiteral("evil\\nsay: forged\\\\\\x01.lmd"))) << state[0].toStdString();
}

} // namespace
