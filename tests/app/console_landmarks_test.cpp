#include "app/console_process.h"
#include <QRegularExpression>

// A smooth drift scan has one peak, the transit: the peak key and the maximum key both find
// it, and nothing lies beyond it either way; the edge keys work from an empty command box,
// the letter keys only on the chart.
TEST(ConsoleLandmarks, KeysJumpTheCursorAndSayWhereItLanded)
{
    QTemporaryDir home;
    const QString file = ConsoleProcess::generate(home, QStringLiteral("transit.lmd"),
                                                  {"--rows", "3000", "--signal", "drift", "--noise", "0", "--spikes", "0"});
    const QStringList out = ConsoleProcess::run(
        home, {file},
        ":click mnuCursor\n:key P\n:state\n:key [\n:key ]\n:state\n:shift+key P\n:key p\n:key V\nDESCRIBE\n:end\n:state\n"
        ":key P\n:home\n:state\n");
    const QString all = out.join(u'\n');
    const QStringList rows = out.filter(QRegularExpression(QStringLiteral("^state: "))).replaceInStrings(
        QRegularExpression(QStringLiteral(".* cursor_row=([0-9]+) .*")), QStringLiteral("\\1"));
    ASSERT_EQ(rows.size(), 4) << all.toStdString();
    EXPECT_GT(rows[0].toInt(), 0);
    EXPECT_EQ(rows[1], rows[0]) << "the transit is the maximum";
    EXPECT_EQ(rows[2], QStringLiteral("2999"));
    EXPECT_EQ(rows[3], QStringLiteral("0"));
    const QRegularExpression readout(QStringLiteral("^say: Peak [0-9]{2}:[0-9]{2}:[0-9]{2} [ -][.0-9]+$"));
    EXPECT_EQ(out.filter(readout).size(), 1) << all.toStdString();
    EXPECT_EQ(out.filter(QRegularExpression(QStringLiteral("^say: (Minimum|Maximum) [0-9:]{8} "))).size(), 2) << all.toStdString();
    EXPECT_TRUE(out.contains("say: No peak before this point.")) << all.toStdString();
    EXPECT_TRUE(out.contains("say: No peak after this point.")) << all.toStdString();
    EXPECT_EQ(out.filter(QRegularExpression(QStringLiteral("^say: Channel 1 .* a peak of "))).size(), 1) << all.toStdString();
}
