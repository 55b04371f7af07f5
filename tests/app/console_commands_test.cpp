#include "app/console_process.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Drives `lumora-viewer --console` with a script, in a scratch home folder.
class ConsoleCommands : public ::testing::Test {
protected:
    QTemporaryDir home;

    QString generate(const QString &name, const QStringList &args) { return ConsoleProcess::generate(home, name, args); }

    QStringList run(const QString &script) { return ConsoleProcess::lines(ConsoleProcess::run(home, {}, script.toUtf8())); }

    // The shipped help lines that hold `word`, as the console prints them.
    static QStringList helpLinesWith(const QString &word)
    {
        QFile f(QFileInfo(QStringLiteral(VIEWER_PATH)).dir().filePath(QStringLiteral("LMSonifyHelp.txt")));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QStringList out;
        for (const QString &line : QString::fromUtf8(f.readAll()).split(u'\n')) {
            const QString l = QString(line).remove(u'\r');
            if (l.size() > 2 && !l.startsWith(QLatin1String("\\\\")) && l.contains(word, Qt::CaseInsensitive))
                out << QStringLiteral("say: ") + l;
        }
        return out;
    }

    // True when `block` appears in `lines` as consecutive lines.
    static bool hasBlock(const QStringList &lines, const QStringList &block)
    {
        for (qsizetype i = 0; i + block.size() <= lines.size(); ++i) {
            if (lines.mid(i, block.size()) == block)
                return true;
        }
        return false;
    }
};

} // namespace

TEST_F(ConsoleCommands, LoadWidthFullHelpAndQuit)
{
    // 21:00:00 to 21:19:59, one sample a second, two channels.
    const QString file = generate(QStringLiteral("obs.lmd"), {"--rows", "1200", "--rate", "1", "--channels", "2"});
    const QStringList out = run(QStringLiteral("LOAD\n%1\nWIDTH\n30\nFULL\n:type load\n:f1\n:state\nQUIT\n").arg(file));
    const std::string all = out.join(u'\n').toStdString();

    EXPECT_EQ(out.mid(0, 2), (QStringList{"say: LOAD", "say: Enter File Name to Load or Enter to load last announced file."})) << all;
    EXPECT_TRUE(hasBlock(out, {"say: Samples Loaded:  1200", "say: WIDTH", "say: Width 00:19:59",
                               "say: Enter Chart Width in Minutes or press escape.", "say: Chart window now 30 minutes wide."}))
        << all;
    const QStringList help = helpLinesWith(QStringLiteral("load"));
    ASSERT_GE(help.size(), 3);
    EXPECT_TRUE(hasBlock(out, QStringList{"say: FULL", "say: setting chart to full view.", "say: Chart View Starts 21:00:00",
                                          "say: Ends 21:19:59", "say: Top  2", "say: Bottom  0", "say: Help Matches for load"}
                                  + help))
        << all;
    EXPECT_TRUE(std::any_of(out.begin(), out.end(), [](const QString &l) {
        return l.startsWith(QLatin1String("state: loaded=1 channels=2 last_index=1199 ")) && l.contains(QLatin1String(" pending= "));
    })) << all;
    EXPECT_EQ(out.mid(out.size() - 2), (QStringList{"say: QUIT", "say: Closing Lumora Sonified Review Program."})) << all;
}

TEST_F(ConsoleCommands, PromptsWaitInStateAndFailuresAreSentences)
{
    const QStringList out = run(QStringLiteral("cd\n:state\n/no/such/folder\n:state\nLOAD\n\nvol\n:esc\n:state\n"));
    const std::string all = out.join(u'\n').toStdString();
    ASSERT_EQ(out.size(), 12) << all;
    EXPECT_TRUE(out[2].startsWith(QLatin1String("state: ")) && out[2].contains(QLatin1String(" pending=CHANGEDIR "))) << all;
    EXPECT_EQ(out[3], QStringLiteral("say: There is no folder named /no/such/folder.")) << all;
    EXPECT_TRUE(out[4].contains(QLatin1String(" pending= "))) << all;
    EXPECT_EQ(out.mid(5, 5), (QStringList{"say: LOAD", "say: Enter File Name to Load or Enter to load last announced file.",
                                          "say: No File specified.", "say: vol", "say: Enter volume 1 to 10."}))
        << all;
    EXPECT_TRUE(out[10].contains(QLatin1String(" pending= "))) << all;   // Escape dropped the prompt
    EXPECT_EQ(out[11], QStringLiteral("say: Closing Lumora Sonified Review Program."));   // end of input closes
}

TEST_F(ConsoleCommands, LoadDialogReadsThePathFromTheNextLine)
{
    const QString file = generate(QStringLiteral("d.lmd"), {"--rows", "25"});
    const QStringList out = run(QStringLiteral("LOAD D\n%1\n:state\n").arg(file));
    const std::string all = out.join(u'\n').toStdString();
    EXPECT_EQ(out.value(0), QStringLiteral("say: LOAD D")) << all;
    EXPECT_TRUE(out.contains(QStringLiteral("say: Samples Loaded:  25"))) << all;
    EXPECT_TRUE(std::any_of(out.begin(), out.end(), [](const QString &l) { return l.startsWith(QLatin1String("state: loaded=1 ")); })) << all;
}

TEST_F(ConsoleCommands, HelpSaysTruthfullyWhichChannelStatsAndTheCursorChannelCover)
{
    // The statistics describe the first channel whatever the cursor channel is; the other
    // channel work follows the cursor channel.
    const QString file = generate(QStringLiteral("two.lmd"), {"--rows", "300", "--channels", "2", "--signal", "constant,ramp"});
    const QStringList both = run(QStringLiteral("LOAD\n%1\nSTATS\nCHANNELS\n2\nSTATS\n").arg(file));
    const QStringList averages = both.filter(QStringLiteral("say: Average Y value "));
    ASSERT_EQ(averages.size(), 2) << both.join(u'\n').toStdString();
    EXPECT_EQ(averages[0], averages[1]);
    EXPECT_TRUE(both.contains(QStringLiteral("say: Cursor channel is now  2")));

    const QStringList channels = helpLinesWith(QStringLiteral("CHANNELS, CHANNEL or CHL"));
    ASSERT_EQ(channels.size(), 1);
    EXPECT_FALSE(channels[0].contains(QStringLiteral("statistic"), Qt::CaseInsensitive)) << channels[0].toStdString();
    const QStringList stats = helpLinesWith(QStringLiteral("STATS or STAT"));
    ASSERT_EQ(stats.size(), 1);
    EXPECT_TRUE(stats[0].contains(QStringLiteral("channel 1"))) << stats[0].toStdString();
}
