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

// Key lines name their modifiers in any order; clicks name controls; a wrong name is an error line.
TEST(ConsoleNavigation, KeyLinesAndClicksReachTheViewer)
{
    QTemporaryDir home;
    const QString file = ConsoleProcess::generate(home, QStringLiteral("nav.lmd"), {"--rows", "600", "--channels", "2"});
    const QStringList out = ConsoleProcess::lines(ConsoleProcess::run(
        home, {file}, ":click cmdCursor\n:shift+ctrl+right\n:state\n:Alt+Down\n:state\n:click mnuCH2\n:f11\n:click nothingHere\n:bogus\n"));
    const QStringList states = out.filter(QRegularExpression(QStringLiteral("^state: ")));
    ASSERT_EQ(states.size(), 2) << out.join(u'\n').toStdString();
    EXPECT_TRUE(states[0].contains(QStringLiteral(" cursor_row=10 "))) << states[0].toStdString();
    EXPECT_TRUE(states[0].contains(QStringLiteral(" toolbar_mode=4 "))) << states[0].toStdString();
    EXPECT_TRUE(states[1].contains(QStringLiteral(" toolbar_mode=6 "))) << states[1].toStdString();
    EXPECT_TRUE(out.contains("say: Cursor channel is now  2")) << "said as the CHANNELS command says it";
    EXPECT_TRUE(out.contains("say: XY Coordinates Saved"));
    EXPECT_TRUE(out.contains("error: no control named nothingHere"));
    EXPECT_TRUE(out.contains("error: unknown input :bogus"));
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
