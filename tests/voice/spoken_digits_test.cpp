#include "session/state_line.h"
#include "voice/command_fixture.h"
#include <QRegularExpression>

namespace {

// Three samples a second apart averaging .931, in a view from 20.26 to 100.7.
void fill(Viewer &v)
{
    v.chart.AddRow(45000.5);
    v.chart.AddRow(45000.5 + 1 / 86400.0);
    v.chart.AddRow(45000.5 + 2 / 86400.0);
    const double values[3] = {0.4, 0.518081013284514, 1.874918986715486};
    for (int i = 0; i < 3; ++i)
        v.chart.SetValue(0, i, values[i]);
    v.data.LastIndex = 2;
    v.data.DataReady = true;
    v.chart.setXAxisMin(v.chart.GetTime(0));
    v.chart.setXAxisMax(v.chart.GetTime(2));
    v.chart.setYAxisMin(20.26);
    v.chart.setYAxisMax(100.7);
}
} // namespace

TEST_F(CommandFixture, SpokenDigitsRoundValuesAndLevelsButNeverCountsOrPercentages)
{
    fill(viewer);
    // The axis prompts wait for an answer: only what they say first counts here.
    const auto SAYS = [this](const char *command) {
        const QString said = enter(command).at(1);
        viewer.commandBox.PendingCommand.clear();
        return said;
    };
    viewer.chart.setCursorRow(1);
    EXPECT_EQ(viewer.navigation.cursorReadoutText(), "12:00:01  .5181");   // readouts: 4 digits at 0
    EXPECT_EQ(SAYS("MAX"), "Channel  1 Current Y Max  100");
    EXPECT_EQ(enter("STATS").at(5), "Average Y value  0");

    EXPECT_EQ(enter("DIGITS 3"), (QStringList{"DIGITS 3", "Numbers are spoken with 3 significant digits."}));
    EXPECT_EQ(settings.values.value("Settings/SpokenDigits"), "3");
    EXPECT_TRUE(stateLine(viewer).contains(" digits=3 "));
    EXPECT_EQ(viewer.navigation.cursorReadoutText(), "12:00:01  .518");
    EXPECT_EQ(SAYS("MAX"), "Channel  1 Current Y Max  101");
    EXPECT_EQ(SAYS("MIN"), "Channel  1 Current Y Min  20.3");
    EXPECT_EQ(answer("MIN", "1234567"), QStringList{"New Y Min is  1230000"});
    const QStringList stats = enter("STATS");
    EXPECT_EQ(stats.at(4), "Maximum Y  1.87 .");
    EXPECT_EQ(stats.at(5), "Average Y value  .931");
    for (const QString &band : stats.mid(6))
        EXPECT_TRUE(QRegularExpression("% [ -]\\d+$").match(band).hasMatch()) << band.toStdString();

    EXPECT_EQ(enter("DIGITS 0").last(), "Numbers are spoken in the usual forms.");
    EXPECT_EQ(SAYS("MAX"), "Channel  1 Current Y Max  100");

    // Answers outside 0 to 15 are refused; the choice survives a restart.
    EXPECT_EQ(enter("DIGITS").last(), "Enter the number of significant digits to speak, 1 to 15, or 0 for the usual forms.");
    EXPECT_EQ(pending(), "DIGITS");
    EXPECT_EQ(answer("DIGITS", "15"), QStringList{"Numbers are spoken with 15 significant digits."});
    for (const char *wrong : {"16", "-1", "2.5", "many", ""}) {
        EXPECT_EQ(answer("DIGITS", wrong), QStringList{"Spoken digits unchanged: the number must be a whole number from 0 to 15."});
        EXPECT_EQ(viewer.spokenDigits(), 15);
    }
    Viewer restarted{Ports{speech, surface, pump, settings}};
    restarted.startUp();
    EXPECT_EQ(restarted.spokenDigits(), 15);
    settings.values["Settings/SpokenDigits"] = "16";
    Viewer spoilt{Ports{speech, surface, pump, settings}};
    spoilt.startUp();
    EXPECT_EQ(spoilt.spokenDigits(), 0);
}
