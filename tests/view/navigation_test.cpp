#include "data/load_fixture.h"
#include <QTime>
#include <cmath>

namespace {

constexpr double Minute = 1.0 / 1440;
const double Day = 46000;   // any date; only the times of day are spoken

class NavigationTest : public LoadFixture {
protected:
    StripChartModel &chart = viewer.chart;
    Navigation &nav = viewer.navigation;

    // One sample a minute from `first` (minutes after midnight), values from `value(i)`.
    void fill(int rows, double first, const std::function<double(int)> &value, int channels = 1)
    {
        chart.ClearData();
        chart.RemoveAllChannels();
        for (int c = 0; c < channels; ++c)
            chart.AddChannel(QStringLiteral("Ch"), 0);
        for (int i = 0; i < rows; ++i) {
            chart.AddRow(Day + (first + i) * Minute);
            for (int c = 0; c < channels; ++c)
                chart.SetValue(c, i, value(i) + c);
        }
        viewer.data.ChannelCount = channels;
        viewer.data.LastIndex = rows - 1;
        viewer.data.DataReady = viewer.data.FileLoaded = true;
    }
    void setView(double fromMinute, double toMinute, double y0, double y1)
    {
        chart.setXAxisMin(Day + fromMinute * Minute);
        chart.setXAxisMax(Day + toMinute * Minute);
        chart.setYAxisMin(y0);
        chart.setYAxisMax(y1);
    }
    double minutes(double day) const { return (day - Day) / Minute; }
    // The view's first and last minute, rounded off to a microminute.
    double rounded(double day) const { return std::round(minutes(day) * 1e6) / 1e6; }
    std::pair<double, double> shown() const { return {rounded(chart.XAxisMin()), rounded(chart.XAxisMax())}; }
    QStringList click(const char *name)
    {
        speech.spoken.clear();
        EXPECT_TRUE(viewer.actions.run(QLatin1String(name))) << name;
        return speech.spoken;
    }
    QStringList key(const char *name)
    {
        speech.spoken.clear();
        viewer.keyPress(QLatin1String(name));
        return speech.spoken;
    }
    QString picture(const char *name) const { return surface.pictures.value(QLatin1String(name)); }
};

} // namespace

TEST_F(NavigationTest, ScrollButtonsMoveAQuarterOfTheViewAndStopAtTheFirstAndLastSample)
{
    fill(200, 590, [](int i) { return i; });   // 09:50 onwards
    setView(600, 660, 0, 10);                  // 10:00 .. 11:00
    chart.AutoScrollEnabled = true;
    EXPECT_EQ(click("cmdLeft"), QStringList({"Chart View Starts 09:50:00", "Ends 10:50:00", "Width 01:00:00"}));
    EXPECT_EQ(chart.ToolBarMode(), 1);
    EXPECT_FALSE(chart.AutoScrollEnabled);
    EXPECT_EQ(picture("cmdRight"), "highlighted");
    key("Left");
    EXPECT_EQ(shown(), std::pair(590.0, 650.0));

    key("Right");
    EXPECT_NEAR(minutes(chart.XAxisMin()), 605, 1e-6);
    for (int i = 0; i < 20; ++i)
        key("Ctrl+Right");
    // The last sample (minute 789) ends the view, as in the full view.
    EXPECT_EQ(shown(), std::pair(729.0, 789.0));

    // Four samples: scrolling reaches the last one; three: the guard holds, silently.
    fill(4, 600, [](int i) { return i; });
    setView(600, 601, 0, 4);
    click("cmdRight");
    EXPECT_NEAR(minutes(chart.XAxisMax()), 601.25, 1e-6);
    for (int i = 0; i < 10; ++i)
        click("cmdRight");
    EXPECT_NEAR(minutes(chart.XAxisMax()), 603, 1e-6);
    fill(3, 600, [](int i) { return i; });
    setView(600, 601, 0, 4);
    chart.setToolBarMode(0);
    EXPECT_TRUE(click("cmdRight").isEmpty());
    EXPECT_NEAR(minutes(chart.XAxisMax()), 601, 1e-6);
    EXPECT_EQ(chart.ToolBarMode(), 0);
}

TEST_F(NavigationTest, SpanAndValueButtonsFollowTheirGuardsAndTheStepSetting)
{
    fill(200, 590, [](int i) { return i; });
    setView(600, 660, 0, 4);
    chart.AutoScaleEnabled = true;
    EXPECT_EQ(click("cmdIncX"), QStringList({"Chart View Starts 10:00:00", "Ends 11:07:30", "Width 01:07:30"}));
    EXPECT_EQ(chart.ToolBarMode(), 5);
    setView(600, 660, 0, 4);
    click("cmdDecX");
    EXPECT_EQ(shown(), std::pair(600.0, 652.5));

    // A height under 5 ignores taller and shorter; the tool still changes.
    EXPECT_TRUE(click("cmdIncY").isEmpty());
    EXPECT_TRUE(key("Shift+Down").isEmpty());
    EXPECT_EQ(chart.YAxisMax(), 4);
    EXPECT_EQ(chart.ToolBarMode(), 6);
    EXPECT_FALSE(chart.AutoScaleEnabled);
    EXPECT_EQ(surface.toolTips.value("cmdAutoScale"), "Auto-Scale Disabled - Click to Enable");
    setView(600, 660, 10, 30);
    EXPECT_EQ(key("Alt+Up"), QStringList({"Top  32", "Bottom  10", "Height  22"}));
    key("Ctrl+Down");
    EXPECT_DOUBLE_EQ(chart.YAxisMax(), 32.5 - 22.5 * 0.125);
    EXPECT_TRUE(key("Up").isEmpty());   // without a modifier Up is the focused control's

    // Up moves a range 0 .. 1.5 (too low for Down) to 0.375 .. 1.875.
    setView(600, 660, 0, 1.5);
    click("cmdUp");
    EXPECT_EQ(chart.ToolBarMode(), 2);
    EXPECT_DOUBLE_EQ(chart.YAxisMin(), 0.375);
    EXPECT_DOUBLE_EQ(chart.YAxisMax(), 1.875);

    // Set Y min to zero keeps the height; under 2 it does nothing.
    setView(600, 660, -20, 30);
    EXPECT_EQ(click("mnuSetYminToZero"), QStringList({"Top  50", "Bottom  0", "Height  50"}));
    EXPECT_EQ(chart.YAxisMin(), 0);
    setView(600, 660, 0.5, 2);
    EXPECT_TRUE(click("mnuSetYminToZero").isEmpty());
    EXPECT_EQ(chart.YAxisMin(), 0.5);

    // The step setting's bounds.
    const auto narrowedWith = [&](const char *step) {
        settings.values["Settings/ClickInc"] = QLatin1String(step);
        nav.readClickInc(settings);
        setView(600, 660, 0, 4);
        click("cmdDecX");
        return minutes(chart.XAxisMax()) - minutes(chart.XAxisMin());
    };
    EXPECT_NEAR(narrowedWith("199"), 60 * (1 - 199.0 / 200), 1e-6);
    EXPECT_NEAR(narrowedWith("200"), 52.5, 1e-6);   // would leave no width: the default 25
    EXPECT_NEAR(narrowedWith("0.5"), 60 * (1 - 0.5 / 200), 1e-6);
    EXPECT_NEAR(narrowedWith("0"), 52.5, 1e-6);

    // Down needs a height of 2.
    setView(600, 660, 0, 2);
    EXPECT_EQ(click("cmdDown").size(), 3);
    EXPECT_DOUBLE_EQ(chart.YAxisMin(), -0.5);
    setView(600, 660, 0, 1.99);
    EXPECT_TRUE(click("cmdDown").isEmpty());
    EXPECT_EQ(chart.YAxisMin(), 0);

    // Both height buttons light up with the height tool, and go dark with the width tool.
    click("cmdDecY");
    EXPECT_EQ(picture("cmdDecY"), "highlighted");
    EXPECT_EQ(picture("cmdIncY"), "highlighted");
    EXPECT_EQ(picture("cmdDecX"), "plain");
    click("cmdDecX");
    EXPECT_EQ(picture("cmdDecY"), "plain");
    EXPECT_EQ(picture("cmdIncX"), "highlighted");
}

TEST_F(NavigationTest, TogglesSetTheToolAutoScrollAndPictures)
{
    fill(100, 600, [](int i) { return i; });
    setView(600, 699, 0, 100);
    chart.AutoScrollEnabled = true;
    click("cmdCursor");
    EXPECT_EQ(chart.ToolBarMode(), 4);
    EXPECT_FALSE(chart.AutoScrollEnabled);
    EXPECT_EQ(picture("cmdCursor"), "highlighted");
    EXPECT_EQ(picture("cmdAutoScrollEnable"), "disabled");
    EXPECT_EQ(surface.toolTips.value("cmdAutoScrollEnable"), "Auto-Scroll Disabled - Click to Enable");
    click("cmdCursor");
    EXPECT_TRUE(chart.AutoScrollEnabled);
    EXPECT_EQ(surface.toolTips.value("cmdAutoScrollEnable"), "Auto-Scroll Enabled - Click to Disable");
    EXPECT_EQ(picture("cmdCursor"), "plain");

    // The menu's cursor leaves automatic scrolling alone and gives the chart the focus.
    click("mnuCursor");
    EXPECT_EQ(chart.ToolBarMode(), 4);
    EXPECT_TRUE(chart.AutoScrollEnabled);
    EXPECT_EQ(surface.focus, "iStripChartX1");
    click("mnuCursor");
    EXPECT_EQ(chart.ToolBarMode(), 0);

    chart.AutoScaleEnabled = true;
    click("cmdZoom");
    EXPECT_EQ(chart.ToolBarMode(), 8);
    EXPECT_FALSE(chart.AutoScaleEnabled || chart.AutoScrollEnabled);
    click("cmdZoom");
    EXPECT_EQ(chart.ToolBarMode(), 0);
    EXPECT_TRUE(chart.AutoScrollEnabled);

    chart.setToolBarMode(2);
    click("cmdAutoScrollEnable");
    EXPECT_FALSE(chart.AutoScrollEnabled);
    EXPECT_EQ(chart.ToolBarMode(), 2);
    EXPECT_EQ(surface.labels.value("LBLCS"), "Auto-Scrolling Disabled");
    click("cmdAutoScrollEnable");
    EXPECT_EQ(chart.ToolBarMode(), 0);
    EXPECT_EQ(surface.labels.value("LBLCS"), "Auto-Scrolling Enabled");

    // The right button's tool choice, and a scan's end, repaint the pictures too.
    nav.selectTool(6);
    EXPECT_EQ(picture("cmdIncY"), "highlighted");
    chart.setToolBarMode(3);   // no button stands for it: the pictures stay
    EXPECT_EQ(picture("cmdIncY"), "highlighted");

    // The cursor menu needs data.
    viewer.data.DataReady = false;
    click("mnuCursor");
    EXPECT_EQ(chart.ToolBarMode(), 3);
}

TEST_F(NavigationTest, ChannelMenuRememberedViewAndArrowsAroundALoad)
{
    const QString file = generate(QStringLiteral("three.lmd"), {"--channels", "3", "--rows", "300"});
    EXPECT_FALSE(surface.isVisible("cmdLeft"));   // nothing to move yet
    load(file);
    EXPECT_TRUE(surface.isVisible("cmdLeft"));
    EXPECT_FALSE(surface.isVisible("Frame1"));   // the offset panel opens only from its button
    EXPECT_TRUE(surface.isChecked("mnuCH1"));

    EXPECT_EQ(click("mnuCH2"), QStringList("Cursor channel is now  2"));
    click("mnuCH3");
    EXPECT_EQ(chart.CursorChannel(), 2);
    EXPECT_TRUE(surface.isChecked("mnuCH2") && surface.isChecked("mnuCH3"));
    click("UpdateMnuCH");
    EXPECT_FALSE(surface.isChecked("mnuCH2"));
    EXPECT_TRUE(surface.isChecked("mnuCH3"));

    // Recall before any save does nothing; F11 saves, F12 recalls.
    const double x0 = chart.XAxisMin(), x1 = chart.XAxisMax();
    EXPECT_TRUE(key("F12").isEmpty());
    click("mnuRecallXY");
    EXPECT_EQ(chart.XAxisMin(), x0);
    EXPECT_EQ(key("F11"), QStringList("XY Coordinates Saved"));
    EXPECT_TRUE(surface.isEnabled("mnuRecallXY"));
    click("cmdRight");
    click("cmdIncY");
    EXPECT_EQ(key("F12"), QStringList("XY Coordinates Recalled"));
    EXPECT_EQ(chart.XAxisMin(), x0);
    EXPECT_EQ(chart.XAxisMax(), x1);

    // A new load forgets it.
    load(file);
    EXPECT_FALSE(surface.isEnabled("mnuRecallXY"));
    EXPECT_TRUE(key("F12").isEmpty());
    EXPECT_EQ(chart.CursorChannel(), 0);
    EXPECT_FALSE(surface.isChecked("mnuCH3"));
}

TEST_F(NavigationTest, OffsetPanelEditsTheOffsetsSavedWithTheFile)
{
    fill(50, 600, [](int i) { return i; }, 3);
    EXPECT_EQ(click("cmdOffset"), QStringList("Offset channel 1 offset 0"));
    EXPECT_TRUE(surface.isVisible("Frame1"));
    EXPECT_EQ(picture("cmdOffset"), "open");
    EXPECT_TRUE(surface.isVisible("cmdChUp"));
    EXPECT_EQ(surface.focus, "iStripChartX1");

    EXPECT_EQ(click("cmdOffSetUp"), QStringList("Offset channel 1 offset 10"));
    click("cmdOffSetUp");
    click("cmdOffsetDown");
    EXPECT_EQ(surface.labels.value("TxtOffset"), "10");
    click("cmdCHDown");
    EXPECT_EQ(viewer.offsets.OffsetChannel, 1);
    click("cmdChUp");
    click("cmdChUp");
    EXPECT_EQ(click("cmdChUp"), QStringList("Offset channel 3 offset 0"));
    viewer.offsets.TxtOffset_Enter(QStringLiteral("-2.5"));
    EXPECT_EQ(speech.spoken.last(), "Offset channel 3 offset -2.5");
    EXPECT_EQ(viewer.data.ChannelOffsets[0], "10");
    EXPECT_TRUE(viewer.data.GetModifiedNotes().contains(QStringLiteral("CHO2-2.5")));

    click("cmdOffset");
    EXPECT_FALSE(surface.isVisible("Frame1"));
    EXPECT_EQ(picture("cmdOffset"), "closed");

    // Reopened on the last channel it stays there; out of range, channel 1. Every digit is kept.
    for (auto [channel, said] : {std::pair(3, "Offset channel 3 offset -2.5"), std::pair(4, "Offset channel 1 offset 10"),
                                 std::pair(0, "Offset channel 1 offset 10")}) {
        viewer.offsets.OffsetChannel = channel;
        EXPECT_EQ(click("cmdOffset"), QStringList(said)) << channel;
        click("cmdOffset");
    }
    click("cmdOffset");

    viewer.offsets.TxtOffset_Enter(QStringLiteral("1234567.25"));
    EXPECT_EQ(viewer.data.ChannelOffsets[0], "1234567.25");
    click("cmdOffSetUp");
    EXPECT_EQ(viewer.data.ChannelOffsets[0], "1234577.25");

    // One channel: no channel choice.
    click("cmdOffset");
    fill(50, 600, [](int i) { return i; }, 1);
    click("cmdOffset");
    EXPECT_FALSE(surface.isVisible("cmdChUp"));
    EXPECT_FALSE(surface.isEnabled("txtChannel"));
}

TEST_F(NavigationTest, CursorWalksSampleBySampleTheViewFollowsAndBothStopAtTheEnds)
{
    fill(100, 600, [](int i) { return i * 0.25 - 3; });
    setView(640, 660, -5, 30);
    chart.setCursorRow(5);   // outside the view: turning the cursor on brings it in
    EXPECT_EQ(click("cmdCursor"), QStringList("10:40:00  7"));
    EXPECT_EQ(surface.labels.value("LBLLR"), "10:40:00  7");

    EXPECT_EQ(key("Right"), QStringList("10:41:00  7.25"));
    EXPECT_EQ(key("Ctrl+Left"), QStringList("10:31:00  4.75"));
    // The view moved back by whole quarter steps (5 minutes), keeping its width.
    EXPECT_EQ(shown(), std::pair(630.0, 650.0));

    for (int i = 0; i < 5; ++i)
        key("Ctrl+Left");
    EXPECT_EQ(chart.cursorRow(), 0);
    EXPECT_EQ(key("Left"), QStringList("First sample."));
    EXPECT_EQ(key("Ctrl+Left"), QStringList("First sample."));
    EXPECT_NEAR(minutes(chart.XAxisMin()), 600, 1e-6);
    EXPECT_EQ(key("Right"), QStringList("10:01:00 -2.75"));

    chart.setCursorRow(95);
    EXPECT_EQ(key("Ctrl+Right"), QStringList("11:39:00  21.75"));
    EXPECT_EQ(key("Right"), QStringList("Last sample."));
    EXPECT_EQ(shown(), std::pair(679.0, 699.0));

    // The tone follows each step when the sound is on.
    viewer.tone.SoundOn = true;
    viewer.tone.FrequencyMode = true;
    key("Left");
    const qint32 before = viewer.tone.ToneFrequency;
    key("Ctrl+Left");
    EXPECT_LT(viewer.tone.ToneFrequency, before);

    // Stopping at the first sample and at the last channel; the cursor is still on.
    viewer.tone.SoundOn = false;
    fill(100, 600, [](int i) { return i; }, 2);
    setView(603, 623, 0, 100);
    chart.setCursorRow(3);
    // A whole quarter step back would start the view before the first sample.
    EXPECT_EQ(key("Ctrl+Left"), QStringList("10:00:00  0"));
    EXPECT_EQ(shown(), std::pair(600.0, 620.0));

    chart.setCursorChannel(1);
    EXPECT_EQ(key("Right"), QStringList("10:01:00  2"));
    chart.setCursorChannel(2);   // one past the last channel: nothing to read
    EXPECT_TRUE(key("Right").isEmpty());
    EXPECT_EQ(chart.cursorRow(), 2);
}

TEST_F(NavigationTest, CursorAtTheEndAndBackIntoANarrowerView)
{
    fill(400, 600, [](int i) { return i; });
    setView(600, 999, 0, 400);
    click("cmdCursor");
    EXPECT_EQ(chart.cursorRow(), 0);
    chart.setCursorRow(397);
    const double width = chart.XAxisMax() - chart.XAxisMin();
    key("Right");
    EXPECT_EQ(key("Right"), QStringList("16:39:00  399"));   // one before the last steps onto it
    EXPECT_EQ(key("Right"), QStringList("Last sample."));
    chart.setCursorRow(395);
    key("Ctrl+Right");
    EXPECT_EQ(chart.cursorRow(), 399);
    // Narrower, left edge fixed: the cursor at the end is out of view, so turning the cursor
    // on again brings it to the view's first sample.
    click("cmdDecX");
    click("cmdDecX");
    const double narrow = chart.XAxisMax() - chart.XAxisMin();
    EXPECT_LT(narrow, width);
    click("cmdCursor");
    EXPECT_EQ(chart.cursorRow(), 0);
    chart.setCursorRow(399);
    key("Left");
    EXPECT_EQ(chart.cursorRow(), 398);
    EXPECT_LE(chart.XAxisMin(), chart.GetTime(398));
    EXPECT_GE(chart.XAxisMax(), chart.GetTime(398));
    EXPECT_NEAR(chart.XAxisMax() - chart.XAxisMin(), narrow, 1e-9);
}
