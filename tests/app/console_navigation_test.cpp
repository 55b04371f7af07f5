#include "app/console_process.h"
#include <QRegularExpression>

namespace {

QString field(const QString &stateLine, const QString &key)
{
    for (const QString &part : stateLine.split(u' ')) {
        if (part.startsWith(key + u'='))
            return part.mid(key.size() + 1);
    }
    return QStringLiteral("?");
}

} // namespace

TEST(ConsoleNavigation, ButtonsKeysAndTheCursorThroughClicksAndKeyLines)
{
    QTemporaryDir home;
    const QString file = ConsoleProcess::generate(home, QStringLiteral("nav.lmd"),
                                                  {QStringLiteral("--rows"), QStringLiteral("600"), QStringLiteral("--channels"),
                                                   QStringLiteral("2")});
    const QStringList out = ConsoleProcess::lines(ConsoleProcess::run(
        home, {file},
        ":state\n:click cmdCursor\n:state\n:right\n:shift+ctrl+right\n:state\n:left\n:click cmdCursor\n"
        ":click mnuCH2\n:f11\n:click cmdDecX\n:state\n:f12\n:click cmdZoom\n:state\n:click cmdAutoScrollEnable\n:state\n"
        ":shift+up\n:state\n:click cmdFullView\n:alt+down\n:state\n:click cmdOffset\n:click cmdOffSetUp\n:click nothingHere\n"));
    QStringList states;
    for (const QString &line : out) {
        if (line.startsWith(QLatin1String("state: ")))
            states << line;
    }
    ASSERT_EQ(states.size(), 8);
    EXPECT_EQ(field(states[0], "auto_scroll"), "0");
    EXPECT_EQ(field(states[0], "auto_scale"), "0");
    EXPECT_EQ(field(states[0], "cursor_row"), "0");
    EXPECT_EQ(field(states[0], "focus"), "txtIn");
    EXPECT_EQ(field(states[1], "toolbar_mode"), "4");
    EXPECT_EQ(field(states[2], "cursor_row"), "11");
    EXPECT_EQ(field(states[3], "toolbar_mode"), "5");
    EXPECT_EQ(field(states[3], "cursor_channel"), "1");
    EXPECT_EQ(field(states[4], "toolbar_mode"), "8");
    EXPECT_EQ(field(states[5], "auto_scroll"), "1");
    EXPECT_EQ(field(states[5], "toolbar_mode"), "0");
    EXPECT_EQ(field(states[6], "toolbar_mode"), "6");
    EXPECT_EQ(field(states[6], "xmin"), field(states[0], "xmin"));
    EXPECT_EQ(field(states[7], "toolbar_mode"), "6");   // Alt+Down is Decrement Height too

    EXPECT_TRUE(out.contains("say: Cursor channel is now  2")) << "said as the CHANNELS command says it";
    EXPECT_TRUE(out.contains("say: XY Coordinates Saved"));
    EXPECT_TRUE(out.contains("say: XY Coordinates Recalled"));
    EXPECT_TRUE(out.contains("say: Offset channel 1 offset 10"));
    EXPECT_TRUE(out.contains("error: no control named nothingHere"));
    // Each cursor step says its sample: time, a blank, the sign-padded value.
    const qsizetype right = out.indexOf(QRegularExpression(QStringLiteral("^say: \\d\\d:\\d\\d:\\d\\d [ -]\\S+$")));
    EXPECT_GE(right, 0);
}

TEST(ConsoleNavigation, CaretKeysEditTheTypedTextAndMoveTheViewOnlyWhenTheBoxIsEmpty)
{
    QTemporaryDir home;
    const QString file = ConsoleProcess::generate(home, QStringLiteral("edit.lmd"), {QStringLiteral("--rows"), QStringLiteral("600")});
    const QStringList out = ConsoleProcess::lines(ConsoleProcess::run(
        home, {file},
        ":click cmdDecX\n:state\n:type LIMITXS\n:right\n:left\n:state\n:backspace\n:enter\n"
        ":type QLIMITS\n:end\n:home\n:delete\n:enter\n"
        ":type LIMITS\n:esc\n:backspace\n:right\n:state\n"));
    QStringList states;
    for (const QString &line : out) {
        if (line.startsWith(QLatin1String("state: ")))
            states << line;
    }
    ASSERT_EQ(states.size(), 3);
    EXPECT_EQ(field(states[1], "xmin"), field(states[0], "xmin")) << "an arrow in a box with text moved the view";
    EXPECT_EQ(field(states[1], "toolbar_mode"), field(states[0], "toolbar_mode"));
    EXPECT_NE(field(states[2], "xmin"), field(states[0], "xmin")) << "an arrow in an empty box must scroll";
    EXPECT_EQ(field(states[2], "toolbar_mode"), "1");
    // Both edits made LIMITS, which was then run.
    EXPECT_EQ(out.count(QStringLiteral("say: LIMITS")), 2);
    EXPECT_FALSE(out.filter(QStringLiteral("error:")).size()) << out.filter(QStringLiteral("error:")).join(u'|').toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("say: LIMITXS")));
}
