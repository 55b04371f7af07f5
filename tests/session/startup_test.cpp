#include "data/load_fixture.h"
#include "session/startup_log.h"
#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

QStringList logLines()
{
    return QString::fromUtf8(readFile(StartUpSteps::logPath(Viewer::programFolder()))).split(QStringLiteral("\r\n"));
}

// A Viewer not yet started, so each test chooses the store it starts with.
class StartUpTest : public ::testing::Test {
protected:
    FakeSpeech speech;
    FakeSurface surface;
    FakePump pump;
    FakeSettings settings;
    Viewer viewer{Ports{speech, surface, pump, settings}};

    void TearDown() override
    {
        StartUpSteps::probe = nullptr;
        QFile::remove(StartUpSteps::logPath(Viewer::programFolder()));
    }
    QString stored(const char *section, const char *key) const
    {
        return settings.values.value(QLatin1String(section) + u'/' + QLatin1String(key), QStringLiteral("<absent>"));
    }
    void put(const char *section, const char *key, const char *value) { settings.write(QLatin1String(section), QLatin1String(key), QLatin1String(value)); }
};

TEST_F(StartUpTest, EmptyStoreGivesTheQuietDefaults)
{
    viewer.startUp();
    EXPECT_TRUE(speech.spoken.isEmpty()) << speech.spoken.join(u'|').toStdString();
    EXPECT_EQ(surface.windowTitle, QStringLiteral("Lumora Sonified Chart Viewer "));
    EXPECT_EQ(surface.labels.value(QStringLiteral("LBLLR")), QStringLiteral("Review and Edit Files Only with this Window"));
    EXPECT_EQ(stored("Settings", "LumoraPath"), Viewer::programFolder());
    EXPECT_EQ(stored("Settings", "DataDirectory"), QStringLiteral("<absent>"));
    EXPECT_EQ(stored("Colors", "Channel2PenColor"), QStringLiteral("4227327"));
    // Nothing loaded: no navigation buttons, no offset panel.
    for (const char *button : {"cmdLeft", "cmdZoom", "cmdFullView", "cmdOffset", "cmdSaveView"})
        EXPECT_FALSE(surface.isVisible(QLatin1String(button))) << button;
    EXPECT_TRUE(surface.isChecked(QStringLiteral("mnuSoundFreq")));

    // White chart, black axes, labels and title, 5 + 5 ticks on each axis.
    const ChartAppearance &look = viewer.chart.appearance();
    EXPECT_EQ(look.background & look.gridBackground, 0xFFFFFFu);
    EXPECT_EQ(look.axisGrid | look.title | look.xAxisLabel | look.yAxisLabel | look.xTickMajor | look.yTickMinor | look.legendText, 0u);
    EXPECT_EQ(look.xTickMajorCount + look.yTickMajorCount + look.xTickMinorCount + look.yTickMinorCount, 20);
    EXPECT_EQ(look.titleFontSize, 10);

    // An empty data folder means the program folder, and stays empty.
    settings.write(QStringLiteral("Settings"), QStringLiteral("DataDirectory"), QString());
    viewer.startUp();
    EXPECT_EQ(stored("Settings", "DataDirectory"), QString());
    viewer.loader.LoadDataFile();   // the dialog is cancelled
    ASSERT_EQ(surface.dialogs.size(), 1);
    EXPECT_EQ(surface.dialogs[0].initialPath, Viewer::programFolder() + QLatin1String("/*.lmd"));
}

TEST_F(StartUpTest, AFailingStepIsLoggedAndSpokenAndStartUpGoesOn)
{
    StartUpSteps::probe = [](int checkpoint) {
        if (checkpoint == 24)
            throw StartUpError(429, QStringLiteral("The voice could not be created"));
        if (checkpoint == 31)
            throw std::runtime_error("help is broken");
        if (checkpoint == 26)
            throw std::bad_alloc();
    };
    viewer.startUp();
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 4) << lines.join(u'|').toStdString();
    const QRegularExpression form(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d   429    The voice could not be created    LN = 24$"));
    EXPECT_TRUE(form.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("   7    Out of memory    LN = 26"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("   1    help is broken    LN = 31"))) << lines[2].toStdString();
    EXPECT_EQ(lines[3], QString());
    EXPECT_EQ(speech.spoken.value(0), lines[0]);
    // The steps after the failures ran.
    EXPECT_FALSE(viewer.StartingUp);
    EXPECT_EQ(viewer.chart.channelCount(), 1);
}

TEST_F(StartUpTest, AppearanceComesFromTheSettings)
{
    put("Colors", "BackGroundColor", "&H000000");
    put("Colors", "GridBackGroundColor", "&h203040");
    put("Colors", "AxisGridColor", "8421504");
    put("Colors", "ChannelColor", "&HFF00");
    put("Colors", "CursorColor", "not a colour");
    put("Settings", "TitleFontColor", "255");   // the "Colors" title colour wins
    put("Colors", "TitleFontColor", "&HFFFF");
    put("Settings", "TitleFontBold", "true");
    put("Settings", "TitleFontSize", "14.5");
    put("TickGrid", "XAxisTickMajorCount", "8");
    put("TickGrid", "YAxisTickMinorCount", "0");
    put("TickGrid", "GridLineStyle", "2");
    viewer.startUp();

    const ChartAppearance &look = viewer.chart.appearance();
    EXPECT_EQ(look.background, 0u);
    EXPECT_EQ(look.gridBackground, 0x203040u);
    EXPECT_EQ(look.axisGrid, 8421504u);
    EXPECT_EQ(viewer.chart.channelColour(0), 0xFF00u);
    EXPECT_EQ(look.cursor, 0u);
    EXPECT_EQ(look.title, 0xFFFFu);
    EXPECT_FALSE(look.titleBold);   // only "True" turns it on
    EXPECT_EQ(look.titleFontSize, 14.5);
    EXPECT_EQ(look.xTickMajorCount, 8);
    EXPECT_EQ(look.yTickMinorCount, 0);
    EXPECT_EQ(look.gridLineStyle, ChartAppearance::Dot);
    EXPECT_EQ(ChartAppearance::parseColour(QStringLiteral("&HFF&")), 0xFFu);
    EXPECT_EQ(ChartAppearance::parseColour(QStringLiteral("-5")), 0u);
}

// The log keeps its newest 1000 lines: the 1000th stays, the 1001st oldest goes.
TEST_F(StartUpTest, TheLogKeepsItsNewestThousandLines)
{
    QString old;
    for (int i = 1; i < StartUpSteps::LogLines; ++i)
        old += StartUpSteps::errorLine(QDateTime::currentDateTime(), 5, QStringLiteral("old"), i);
    QDir().mkpath(Viewer::programFolder());
    writeFile(StartUpSteps::logPath(Viewer::programFolder()), old.toUtf8());
    StartUpSteps steps(viewer.speech, Viewer::programFolder());
    const auto fail = [&](int checkpoint) { steps.run(checkpoint, [] { throw StartUpError(53, QStringLiteral("new")); }); };
    fail(2001);
    QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1001);
    EXPECT_TRUE(lines.first().endsWith(QStringLiteral("old    LN = 1"))) << lines.first().toStdString();
    fail(2002);
    lines = logLines();
    ASSERT_EQ(lines.size(), 1001);
    EXPECT_TRUE(lines.first().endsWith(QStringLiteral("old    LN = 2"))) << lines.first().toStdString();
    EXPECT_TRUE(lines[998].endsWith(QStringLiteral("new    LN = 2001")));
    EXPECT_TRUE(lines[999].endsWith(QStringLiteral("new    LN = 2002")));
}

class RecentFileTest : public LoadFixture {};

// Each entry loads its file and reads its report; a file that is gone is said so, with no
// report of the file before it; an empty slot only closes the offset panel.
TEST_F(RecentFileTest, MenuEntriesLoadTheirFileAndReportIt)
{
    const QString one = generate(QStringLiteral("one.lmd"), {"--rows", "50"});
    viewer.recent.AddRecentSaved(generate(QStringLiteral("two.lmd"), {"--channels", "3", "--rows", "60"}));
    viewer.recent.AddRecentLoaded(one);
    viewer.recent.AddRecentLoaded(path(QStringLiteral("gone.lmd")));
    bool panelClosed = false;
    viewer.loader.hooks.closeOffsetPanel = [&] { panelClosed = true; };

    viewer.actions.run(QStringLiteral("mnuRecentLoaded2"));
    EXPECT_EQ(viewer.data.DataFileName, one);
    EXPECT_TRUE(panelClosed);
    const qsizetype loaded = speech.spoken.indexOf(QStringLiteral("Samples Loaded:  50"));
    ASSERT_GE(loaded, 0);
    EXPECT_GT(speech.spoken.size() - loaded, 3);   // the INFO report follows the load
    EXPECT_FALSE(viewer.chart.legendVisible());   // one channel: nothing to tell apart
    viewer.actions.run(QStringLiteral("mnuRecentSaved1"));
    EXPECT_EQ(viewer.data.ChannelCount, 3);
    EXPECT_TRUE(viewer.chart.legendVisible());

    speech.spoken.clear();
    const auto &list = viewer.recent.RecentLoaded;
    viewer.actions.run(QStringLiteral("mnuRecentLoaded%1").arg(std::find(list.begin(), list.end(), path(QStringLiteral("gone.lmd"))) - list.begin() + 1));
    EXPECT_EQ(speech.spoken, QStringList(path(QStringLiteral("gone.lmd")) + QStringLiteral(" not found in current directory.")));
    speech.spoken.clear();
    panelClosed = false;
    viewer.actions.run(QStringLiteral("mnuRecentSaved4"));
    EXPECT_TRUE(speech.spoken.isEmpty());
    EXPECT_TRUE(panelClosed);

    // A load that fails leaves nothing to navigate.
    writeFile(path(QStringLiteral("bad.lmd")), QByteArray(200, '\x7f'));
    load(path(QStringLiteral("bad.lmd")));
    EXPECT_FALSE(surface.isVisible(QStringLiteral("cmdLeft")));
    EXPECT_FALSE(surface.isEnabled(QStringLiteral("cmdOffset")));
}

} // namespace
