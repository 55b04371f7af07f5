#include "data/load_fixture.h"
#include "session/startup_log.h"
#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

QString readLog()
{
    QFile log(StartUpSteps::logPath(Viewer::programFolder()));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
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
};

TEST_F(StartUpTest, EmptyStoreGivesTheQuietDefaults)
{
    viewer.startUp();
    EXPECT_TRUE(speech.spoken.isEmpty()) << speech.spoken.join(u'|').toStdString();
    EXPECT_FALSE(viewer.StartingUp);
    EXPECT_EQ(surface.windowTitle, QStringLiteral("Lumora Sonified Chart Viewer "));
    EXPECT_EQ(surface.labels.value(QStringLiteral("LBLLR")), QStringLiteral("Review and Edit Files Only with this Window"));
    EXPECT_TRUE(surface.isVisible(QStringLiteral("LBLLR")));
    EXPECT_EQ(stored("Settings", "LumoraPath"), Viewer::programFolder());
    EXPECT_EQ(stored("Settings", "DataDirectory"), QStringLiteral("<absent>"));
    EXPECT_EQ(stored("Colors", "Channel2PenColor"), QStringLiteral("4227327"));
    EXPECT_TRUE(QFile::exists(Viewer::programFolder()));

    // Nothing loaded: no navigation buttons, no offset panel, no recent files.
    for (const char *button : {"cmdLeft", "cmdZoom", "cmdFullView", "cmdOffset", "cmdSaveView"})
        EXPECT_FALSE(surface.isVisible(QLatin1String(button))) << button;
    EXPECT_FALSE(surface.isEnabled(QStringLiteral("cmdOffset")));
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(surface.captions.value(QStringLiteral("mnuRecentLoaded%1").arg(i), QStringLiteral("?")), QString());
        EXPECT_EQ(surface.captions.value(QStringLiteral("mnuRecentSaved%1").arg(i), QStringLiteral("?")), QString());
    }
    EXPECT_TRUE(surface.isChecked(QStringLiteral("mnuSoundFreq")));
    EXPECT_FALSE(surface.isChecked(QStringLiteral("mnuSoundAmplitude")));

    // White chart, black axes, labels and title, 5 + 5 ticks on each axis.
    const ChartAppearance &look = viewer.chart.appearance();
    EXPECT_EQ(look.background, 0xFFFFFFu);
    EXPECT_EQ(look.gridBackground, 0xFFFFFFu);
    for (quint32 black : {look.axisGrid, look.title, look.xAxisLabel, look.yAxisLabel, look.xTickMajor, look.yTickMinor, look.legendText})
        EXPECT_EQ(black, 0u);
    EXPECT_EQ(look.xTickMajorCount + look.yTickMajorCount + look.xTickMinorCount + look.yTickMinorCount, 20);
    EXPECT_FALSE(look.titleBold);
    EXPECT_EQ(look.titleFontSize, 10);
}

TEST_F(StartUpTest, AnEmptyDataDirectoryMeansTheProgramFolderAndStaysEmpty)
{
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
    };
    viewer.startUp();

    const QStringList lines = readLog().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << readLog().toStdString();
    const QRegularExpression form(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d   429    The voice could not be created    LN = 24$"));
    EXPECT_TRUE(form.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("   1    help is broken    LN = 31"))) << lines[1].toStdString();
    EXPECT_TRUE(readLog().endsWith(QStringLiteral("LN = 31\r\n")));
    EXPECT_EQ(speech.spoken.value(0), lines[0]);

    // The steps after the failures ran.
    EXPECT_EQ(surface.windowTitle, QStringLiteral("Lumora Sonified Chart Viewer "));
    EXPECT_FALSE(viewer.StartingUp);
    EXPECT_EQ(viewer.chart.channelCount(), 1);
}

TEST_F(StartUpTest, RunningOutOfMemoryIsLoggedAsError7)
{
    StartUpSteps::probe = [](int checkpoint) {
        if (checkpoint == 24)
            throw std::bad_alloc();
    };
    viewer.startUp();
    EXPECT_TRUE(readLog().endsWith(QStringLiteral("   7    Out of memory    LN = 24\r\n"))) << readLog().toStdString();
}

TEST_F(StartUpTest, AppearanceComesFromTheSettings)
{
    const auto put = [this](const char *section, const char *key, const char *value) {
        settings.write(QLatin1String(section), QLatin1String(key), QLatin1String(value));
    };
    put("Colors", "BackGroundColor", "&H000000");
    put("Colors", "GridBackGroundColor", "&h203040");
    put("Colors", "AxisGridColor", "8421504");
    put("Colors", "ChannelColor", "&HFF00");
    put("Colors", "CursorColor", "not a colour");
    put("Settings", "TitleFontColor", "255");   // the "Colors" title colour wins
    put("Colors", "TitleFontColor", "&HFFFF");
    put("Settings", "TitleFontBold", "true");
    put("Settings", "TitleFontItalic", "True");
    put("Settings", "TitleFontSize", "14.5");
    put("Settings", "TitleFontName", "DejaVu Serif");
    put("TickGrid", "XAxisTickMajorCount", "8");
    put("TickGrid", "YAxisTickMinorCount", "0");
    put("TickGrid", "GridLineStyle", "2");
    viewer.startUp();

    const ChartAppearance &look = viewer.chart.appearance();
    EXPECT_EQ(look.background, 0u);
    EXPECT_EQ(look.gridBackground, 0x203040u);
    EXPECT_EQ(look.axisGrid, 8421504u);
    EXPECT_EQ(look.channel0, 0xFF00u);
    EXPECT_EQ(look.legendText, 0xFF00u);
    EXPECT_EQ(viewer.chart.channelColour(0), 0xFF00u);
    EXPECT_EQ(look.cursor, 0u);
    EXPECT_EQ(look.title, 0xFFFFu);
    EXPECT_FALSE(look.titleBold);   // only "True" turns it on
    EXPECT_TRUE(look.titleItalic);
    EXPECT_EQ(look.titleFontSize, 14.5);
    EXPECT_EQ(look.titleFontName, QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(look.xTickMajorCount, 8);
    EXPECT_EQ(look.yTickMajorCount, 5);
    EXPECT_EQ(look.yTickMinorCount, 0);
    EXPECT_EQ(look.gridLineStyle, ChartAppearance::Dot);

    EXPECT_EQ(ChartAppearance::parseColour(QStringLiteral("&HFFFFFF")), 0xFFFFFFu);
    EXPECT_EQ(ChartAppearance::parseColour(QStringLiteral("&HFF&")), 0xFFu);
    EXPECT_EQ(ChartAppearance::parseColour(QStringLiteral("16711680")), 0xFF0000u);
    EXPECT_EQ(ChartAppearance::parseColour(QStringLiteral("-5")), 0u);
}

// The log keeps its newest 1000 lines: the 1000th stays, the 1001st oldest goes.
TEST_F(StartUpTest, TheLogKeepsItsNewestThousandLines)
{
    QDir().mkpath(Viewer::programFolder());
    {
        QFile log(StartUpSteps::logPath(Viewer::programFolder()));
        ASSERT_TRUE(log.open(QIODevice::WriteOnly));
        for (int i = 1; i < StartUpSteps::LogLines; ++i)
            log.write(StartUpSteps::errorLine(QDateTime::currentDateTime(), 5, QStringLiteral("old"), i).toUtf8());
    }
    StartUpSteps steps(viewer.speech, Viewer::programFolder());
    const auto fail = [&](int checkpoint) { steps.run(checkpoint, [] { throw StartUpError(53, QStringLiteral("new")); }); };
    fail(2001);
    QStringList lines = readLog().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1000);
    EXPECT_TRUE(lines.first().endsWith(QStringLiteral("old    LN = 1"))) << lines.first().toStdString();
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("new    LN = 2001")));

    fail(2002);
    lines = readLog().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1000);
    EXPECT_TRUE(lines.first().endsWith(QStringLiteral("old    LN = 2"))) << lines.first().toStdString();
    EXPECT_TRUE(lines[998].endsWith(QStringLiteral("new    LN = 2001")));
    EXPECT_TRUE(readLog().endsWith(QStringLiteral("new    LN = 2002\r\n")));
}

class RecentFileTest : public LoadFixture {};

TEST_F(RecentFileTest, ListsKeepFivePathsComparedExactly)
{
    for (const char *p : {"/d/a.lmd", "/d/b.lmd", "/d/c.lmd", "/d/A.lmd", "/d/e.lmd"})
        viewer.recent.AddRecentLoaded(QLatin1String(p));
    // Two spellings are two files where names are case-sensitive.
    EXPECT_EQ(viewer.recent.RecentLoaded[1], QStringLiteral("/d/A.lmd"));
    EXPECT_EQ(viewer.recent.RecentLoaded[4], QStringLiteral("/d/a.lmd"));
    viewer.recent.AddRecentLoaded(QStringLiteral("/d/f.lmd"));
    EXPECT_EQ(settings.read(QStringLiteral("Recent"), QStringLiteral("RecentLoaded1"), {}), QStringLiteral("/d/f.lmd"));
    EXPECT_EQ(settings.read(QStringLiteral("Recent"), QStringLiteral("RecentLoaded5"), {}), QStringLiteral("/d/b.lmd"));
    EXPECT_EQ(surface.captions.value(QStringLiteral("mnuRecentLoaded5")), QStringLiteral("/d/b.lmd"));
}

TEST_F(RecentFileTest, MenuEntriesLoadTheirFileAndReportIt)
{
    const QString one = generate(QStringLiteral("one.lmd"), {QStringLiteral("--rows"), QStringLiteral("50")});
    const QString two = generate(QStringLiteral("two.lmd"), {QStringLiteral("--channels"), QStringLiteral("3"), QStringLiteral("--rows"), QStringLiteral("60")});
    viewer.recent.AddRecentSaved(two);
    viewer.recent.AddRecentLoaded(one);
    viewer.recent.AddRecentLoaded(path(QStringLiteral("gone.lmd")));
    bool panelClosed = false;
    viewer.loader.hooks.closeOffsetPanel = [&] { panelClosed = true; };

    ASSERT_EQ(viewer.recent.RecentLoaded[1], one);
    viewer.actions.run(QStringLiteral("mnuRecentLoaded2"));
    EXPECT_TRUE(viewer.data.DataReady);
    EXPECT_EQ(viewer.data.DataFileName, one);
    EXPECT_TRUE(panelClosed);
    EXPECT_GT(speech.spoken.indexOf(QStringLiteral("Samples Loaded:  50")), -1);
    const qsizetype spokenAfterLoad = speech.spoken.size() - speech.spoken.indexOf(QStringLiteral("Samples Loaded:  50"));
    EXPECT_GT(spokenAfterLoad, 3);   // the INFO report follows the load
    // A completed load brings the buttons and the offset panel's button.
    EXPECT_TRUE(surface.isVisible(QStringLiteral("cmdLeft")));
    EXPECT_TRUE(surface.isEnabled(QStringLiteral("cmdOffset")));
    EXPECT_FALSE(viewer.chart.legendVisible());   // one channel: nothing to tell apart

    viewer.actions.run(QStringLiteral("mnuRecentSaved1"));
    EXPECT_EQ(viewer.data.ChannelCount, 3);
    EXPECT_TRUE(viewer.chart.legendVisible());

    // A file that is gone is said so, with no report of the file before it.
    speech.spoken.clear();
    const auto slot = std::find(viewer.recent.RecentLoaded.begin(), viewer.recent.RecentLoaded.end(), path(QStringLiteral("gone.lmd")));
    ASSERT_NE(slot, viewer.recent.RecentLoaded.end());
    viewer.actions.run(QStringLiteral("mnuRecentLoaded%1").arg(slot - viewer.recent.RecentLoaded.begin() + 1));
    EXPECT_EQ(speech.spoken, QStringList(path(QStringLiteral("gone.lmd")) + QStringLiteral(" not found in current directory.")));
    // An empty slot only closes the panel.
    speech.spoken.clear();
    panelClosed = false;
    viewer.actions.run(QStringLiteral("mnuRecentSaved4"));
    EXPECT_TRUE(speech.spoken.isEmpty());
    EXPECT_TRUE(panelClosed);

    // A load that fails leaves nothing to navigate.
    QFile bad(path(QStringLiteral("bad.lmd")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(200, '\x7f'));
    bad.close();
    load(bad.fileName());
    EXPECT_FALSE(surface.isVisible(QStringLiteral("cmdLeft")));
    EXPECT_FALSE(surface.isEnabled(QStringLiteral("cmdOffset")));
}

} // namespace
