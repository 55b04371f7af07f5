#include "data/load_fixture.h"
#include "voice/number_forms.h"
#include <QDate>
#include <QLocale>

namespace {

const double Day = double(QDate(1899, 12, 30).daysTo(QDate(2024, 5, 17)));

struct ReportsFixture : LoadFixture {
    FakeSpeech &voice = speech;
    Speech &speaker = viewer.speech;
    StripChartModel &chart = viewer.chart;
    DataSet &data = viewer.data;
    Reports &reports = viewer.reports;

    // Five samples a second apart from 13:30:00, channel 1 holding 0..4, channel 2 up to 50.
    void loadFile()
    {
        chart.RemoveAllChannels();
        chart.AddChannel("Ch 1", 0);
        chart.AddChannel("Ch 2", 0);
        for (int i = 0; i < 5; ++i) {
            chart.AddRow(Day + 0.5625 + i / 86400.0);
            chart.SetValue(0, i, i);
            chart.SetValue(1, i, i * 12.5);
        }
        data.ChannelCount = 2;
        data.LastIndex = 4;
        data.header.StartTime = Day + 0.5625;
        data.header.EndTime = Day + 0.5625 + 4 / 86400.0;
        data.header.LocalName = FileHeader::fixedWidth("Dish One", 20);
        data.header.Author = FileHeader::fixedWidth(" Ada  ", 20);
        data.header.Location = FileHeader::fixedWidth("Green Bank", 40);
        data.header.Latitude = 40.12;
        data.header.Longitude = -81.5;
        data.Notes = "first line\r\nsecond line";
        data.AvgRate = 1;
        data.DataReady = true;
        chart.setXAxisMin(chart.GetTime(0));
        chart.setXAxisMax(chart.GetTime(4));
        chart.setYAxisMin(-0.5);
        chart.setYAxisMax(100.7);
        viewer.recent.AddRecentLoaded("/data/obs/dish.lmd");
    }
    // Escape pressed while `text` is being spoken: seen at the next pump.
    void escapeDuring(const QString &prefix)
    {
        voice.onSpeak = [this, prefix](const QString &text) {
            if (text.startsWith(prefix))
                pump.script.push_back([this] { speaker.AbortRequested = true; });
        };
    }
    QString date() const { return NumberForms::shortDate(Day); }
    QString dp() const { return QLocale::system().decimalPoint(); }
};

} // namespace

TEST_F(ReportsFixture, ViewAndIdentityReports)
{
    loadFile();
    reports.SpeakChartHeight();
    reports.SpeakChartLimits();
    reports.SpeakChartID();
    chart.setXAxisMax(chart.XAxisMin() + 25 / 24.0);
    reports.SpeakChartWidth();
    EXPECT_EQ(voice.spoken, QStringList({"Top  100", "Bottom -1", "Height  101",
                                         "Chart View Starts 13:30:00", "Ends 13:30:04", "Top  100", "Bottom -1",
                                         "Chart Local Name Dish One            ", "File Name dish.lmd",
                                         "File Start Date " + date(),
                                         "Chart View Starts 13:30:00", "Ends 14:30:00", "Width 01:00:00"}));
}

TEST_F(ReportsFixture, InfoReportSaysEverythingInOrderOrThatNothingIsLoaded)
{
    reports.mnuDataFileInfo();
    EXPECT_EQ(voice.spoken, QStringList({"Number of channels  1.", "No file loaded.", "No file loaded.", "No file loaded."}));
    voice.spoken.clear();
    reports.mnuInfo();
    EXPECT_EQ(voice.spoken, QStringList({"No file loaded."}));

    loadFile();
    voice.spoken.clear();
    speaker.AbortRequested = true;
    reports.mnuInfo();   // opening the menu forgets an earlier Escape
    EXPECT_FALSE(speaker.AbortRequested);
    EXPECT_TRUE(voice.spoken.isEmpty());

    reports.mnuDataFileInfo();
    EXPECT_EQ(voice.spoken, QStringList({
        "Number of channels  2.", "Starts " + date() + " 13:30:00", "Duration 00:00:04",
        "Average Rate: 1" + dp() + " samples per second.", "Maximum Y  50 .", "Average Y value  2",
        "Below 25%  40", "25 to 50%  20", "50 to 75%  20", "75 to 100%  20",
        "Name Dish One", "Observer Ada", "Location Green Bank",
        "Latitude 40:07:12" + dp() + "0", "Longitude -81:30:00" + dp() + "0",
        "File is not logged in U T .", "Additional Notes first line.\r\nsecond line"}));
    data.LoggedUsingUT = true;   // then nothing is said about it
    voice.spoken.clear();
    reports.mnuObserverInfo();
    EXPECT_EQ(voice.spoken.size(), 5);
}

TEST_F(ReportsFixture, EscapeEndsAReportAtTheNextPumpAndTheInfoReportForgetsIt)
{
    loadFile();
    escapeDuring("Ends");
    reports.SpeakChartLimits();
    EXPECT_EQ(voice.spoken, QStringList({"Chart View Starts 13:30:00", "Ends 13:30:04"}));
    EXPECT_TRUE(speaker.AbortRequested);   // single reports leave it for the next one

    // A report started after an unanswered Escape says nothing; statistics its first sentence.
    voice.spoken.clear();
    reports.SpeakChartID();
    reports.SpeakChartHeight();
    reports.mnuObserverInfo();
    reports.mnuStatsInfo();
    EXPECT_EQ(voice.spoken, QStringList({"Name Dish One", "Starts " + date() + " 13:30:00"}));
    EXPECT_TRUE(speaker.AbortRequested);

    // Escape during the info report skips its rest and is forgotten.
    voice.spoken.clear();
    speaker.AbortRequested = false;
    escapeDuring("Average Y");
    reports.mnuDataFileInfo();
    EXPECT_EQ(voice.spoken.last(), "Average Y value  2");
    EXPECT_EQ(voice.spoken.size(), 6);
    EXPECT_FALSE(speaker.AbortRequested);

    // Escape during the band pair's first half: the second half is still said.
    voice.spoken.clear();
    escapeDuring("Below");
    reports.mnuStatsInfo();
    EXPECT_EQ(voice.spoken.mid(voice.spoken.size() - 2), QStringList({"Below 25%  40", "25 to 50%  20"}));
}
