#include "app/console_process.h"
#include <QRegularExpression>

// Key lines name their modifiers in any order; clicks name controls; a wrong name is an error line.
TEST(ConsoleNavigation, KeyLinesAndClicksReachTheViewer)
{
    QTemporaryDir home;
    const QString file = ConsoleProcess::generate(home, QStringLiteral("nav.lmd"), {"--rows", "600", "--channels", "2"});
    const QStringList out = ConsoleProcess::lines(ConsoleProcess::run(
        home, {file}, ":click cmdCursor\n:shift+ctrl+right\n:state\n:Alt+Down\n:state\n:f11\n:click nothingHere\n:bogus\n"));
    const QStringList states = out.filter(QRegularExpression(QStringLiteral("^state: ")));
    ASSERT_EQ(states.size(), 2) << out.join(u'\n').toStdString();
    EXPECT_TRUE(states[0].contains(QStringLiteral(" cursor_row=10 "))) << states[0].toStdString();
    EXPECT_TRUE(states[0].contains(QStringLiteral(" toolbar_mode=4 "))) << states[0].toStdString();
    EXPECT_TRUE(states[1].contains(QStringLiteral(" toolbar_mode=6 "))) << states[1].toStdString();
    EXPECT_TRUE(out.contains("say: XY Coordinates Saved"));
    EXPECT_TRUE(out.contains("error: no control named nothingHere"));
    EXPECT_TRUE(out.contains("error: unknown input :bogus"));
}
