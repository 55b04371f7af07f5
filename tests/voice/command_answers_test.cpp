#include "voice/answer_parsing.h"
#include "voice/command_fixture.h"

#define ANSWER(prompt, text) answer(QStringLiteral(prompt), QStringLiteral(text))

TEST(AnswerValue, BlanksAnywhereAreIgnoredThenTheLeadingNumberIsRead)
{
    EXPECT_EQ(answerValue(QStringLiteral("1 5")), 15);
    EXPECT_EQ(answerValue(QStringLiteral(" 1\t2.\n5 ")), 12.5);
    EXPECT_EQ(answerValue(QStringLiteral("12abc")), 12);
    EXPECT_EQ(answerValue(QStringLiteral("abc")), 0);
    EXPECT_EQ(answerValue(QStringLiteral("- 2e 2x")), -200);
    EXPECT_EQ(answerValue(QStringLiteral(".5")), 0.5);
    EXPECT_THROW(answerValue(QStringLiteral("1e999")), CommandError);
}

TEST_F(CommandFixture, SoundAnswersAreRangeCheckedEscapeDropsAPromptAFailingAnswerIsSpoken)
{
    QList<double> volumes, tones, speeds;
    auto &h = viewer.commandBox.hooks;
    h.UpdateVol = [&](double v) { volumes << v; };
    h.setAmTone = [&](double v) { tones << v; };
    h.setScanSpeed = [&](double v) { speeds << v; };

    EXPECT_EQ(ANSWER("VOL", "10"), QStringList{"Volume set to 10"});
    ANSWER("VOL", "0.5");
    const QStringList noVolume{"Volume unchanged: it must be more than 0 and at most 10."};
    EXPECT_EQ(ANSWER("VOL", "11"), noVolume);
    EXPECT_EQ(ANSWER("VOL", "0"), noVolume);
    EXPECT_EQ(volumes, (QList<double>{1.0, 0.05}));

    const QStringList noTone{"Tone unchanged: it must be more than 60 and less than 1000 Hertz."};
    EXPECT_EQ(ANSWER("TONE", "60"), noTone);
    EXPECT_EQ(ANSWER("TONE", "61"), QStringList{"Tone for amplitude modulation set to 61 Hertz."});
    EXPECT_EQ(ANSWER("TONE", "999.5"), QStringList{"Tone for amplitude modulation set to 999.5 Hertz."});
    EXPECT_EQ(ANSWER("TONE", "1000"), noTone);
    EXPECT_EQ(tones, (QList<double>{61, 999.5}));

    EXPECT_EQ(ANSWER("SPEED", "10000"), QStringList{"Scan speed set to 10000 samples per second."});
    ANSWER("SPEED", "1");
    const QStringList noSpeed{"Scan speed unchanged: it must be from 1 to 10000 samples per second."};
    EXPECT_EQ(ANSWER("SPEED", "10001"), noSpeed);
    EXPECT_EQ(ANSWER("SPEED", "-1"), noSpeed);
    EXPECT_EQ(ANSWER("SPEED", "0.0001"), noSpeed);   // would take hours a sample
    EXPECT_EQ(speeds, (QList<double>{10000, 1}));
    EXPECT_TRUE(pending().isEmpty());

    // Escape drops the prompt and a failing answer is spoken.
    enter(QStringLiteral("WIDTH"));
    viewer.commandText = QStringLiteral("12");
    viewer.keyPress(QStringLiteral("Escape"));
    EXPECT_TRUE(viewer.speech.AbortRequested);
    EXPECT_TRUE(pending().isEmpty());
    EXPECT_TRUE(viewer.commandText.isEmpty());
    viewer.keyPress(QStringLiteral("Left"));
    EXPECT_FALSE(viewer.speech.AbortRequested);

    // START with nothing loaded fails inside the answer: the user hears why, the box is idle.
    EXPECT_EQ(ANSWER("START", "12:00"), QStringList{"There is no data loaded."});
    EXPECT_TRUE(pending().isEmpty());

    // Enter goes to the control with the focus: not to the box while the match list has it.
    surface.focus = QStringLiteral("List1");
    enter(QStringLiteral("LOAD"));
    EXPECT_TRUE(pending().isEmpty());
}

TEST_F(CommandFixture, AxisAnswers)
{
    load(generate(QStringLiteral("a.lmd"), {"--rows", "600", "--rate", "1"}));
    StripChartModel &c = viewer.chart;
    const double left = c.XAxisMin();

    EXPECT_EQ(ANSWER("WIDTH", "1 5"), QStringList{"Chart window now 1 5 minutes wide."});
    EXPECT_DOUBLE_EQ(c.XAxisMax(), left + 15.0 / 1440);
    // A command word read as an answer is 0.
    EXPECT_EQ(ANSWER("WIDTH", "LIMITS"), QStringList{"Width unchanged: it must be more than 0 minutes."});
    EXPECT_EQ(ANSWER("WIDTH", "0"), QStringList{"Width unchanged: it must be more than 0 minutes."});
    EXPECT_DOUBLE_EQ(c.XAxisMax(), left + 15.0 / 1440);

    c.setYAxisMin(2);
    c.setYAxisMax(5);
    EXPECT_EQ(ANSWER("MAX", "3"), QStringList{"Y Max unchanged: it must be more than 3."});   // exactly YAxisMin + 1
    EXPECT_EQ(c.YAxisMax(), 5);
    EXPECT_EQ(ANSWER("MAX", "3.25"), QStringList{"New Y Max is  3.25"});
    EXPECT_EQ(c.YAxisMax(), 3.25);

    EXPECT_EQ(ANSWER("MIN", "-1.5"), QStringList{"New Y Min is -1.5"});
    EXPECT_EQ(c.YAxisMin(), -1.5);
    EXPECT_EQ(ANSWER("MIN", "low"), QStringList{"New Y Min is  0"});
}

TEST_F(CommandFixture, StartAndStopPlaceTypedTimesOnTheDataDays)
{
    // 21:00 on day 45372 to about 00:45 two days later, one sample every 10 s.
    load(generate(QStringLiteral("long.lmd"), {"--rows", "10000", "--rate", "0.1"}));
    StripChartModel &c = viewer.chart;
    c.setXAxisMin(c.GetTime(0));
    c.setXAxisMax(c.GetTime(0) + 1.0 / 24);
    const double width = c.XAxisMax() - c.XAxisMin();

    EXPECT_FALSE(ANSWER("START", "21:30").isEmpty());   // the width report
    EXPECT_NEAR(c.XAxisMin(), 45372 + 21.5 / 24, 1e-9);
    EXPECT_NEAR(c.XAxisMax() - c.XAxisMin(), width, 1e-9);

    ANSWER("START", "20:00");   // before the first sample's time of day: the next day
    EXPECT_NEAR(c.XAxisMin(), 45373 + 20.0 / 24, 1e-9);

    ANSWER("STOP", "23:00");
    EXPECT_NEAR(c.XAxisMax(), 45372 + 23.0 / 24, 1e-9);
    EXPECT_NEAR(c.XAxisMax() - c.XAxisMin(), width, 1e-9);

    // Text that is no time of day is named and leaves the view; the width is read all the same.
    const double left = c.XAxisMin();
    const QStringList said = ANSWER("START", "FOO");
    ASSERT_EQ(said.size(), 4);
    EXPECT_EQ(said[0], QStringLiteral("FOO is not a time of day."));
    EXPECT_TRUE(said[3].startsWith(QLatin1String("Width "))) << said[3].toStdString();
    EXPECT_EQ(ANSWER("STOP", "25").value(0), QStringLiteral("25 is not a time of day."));
    EXPECT_EQ(ANSWER("START", " ").value(0), QStringLiteral("No time was typed."));
    EXPECT_EQ(c.XAxisMin(), left);
    EXPECT_EQ(ANSWER("START", "24").size(), 3);   // hours alone up to 24 are a time
    EXPECT_NEAR(c.XAxisMin(), 45373, 1e-9);

    // 21:00 to 21:10: a start at 22:00 lies past the last sample and leaves the view.
    load(generate(QStringLiteral("short.lmd"), {"--rows", "600", "--rate", "1"}));
    const double before = c.XAxisMin();
    EXPECT_FALSE(ANSWER("START", "22:00").isEmpty());
    EXPECT_EQ(c.XAxisMin(), before);
}

TEST_F(CommandFixture, LoadAnswerFallsBackToTheAnnouncedThenTheRecentFileAndChangeDirectoryMovesOrSaysWhyNot)
{
    EXPECT_EQ(ANSWER("LOADFILENAME", "  "), QStringList{"No File specified."});
    EXPECT_TRUE(pending().isEmpty());

    const QString a = generate(QStringLiteral("a.lmd"), {"--rows", "30"});
    const QString b = generate(QStringLiteral("b.lmd"), {"--rows", "20"});
    viewer.recent.AddRecentLoaded(a);
    ANSWER("LOADFILENAME", "");
    EXPECT_EQ(viewer.data.LastIndex, 29);

    viewer.folders.LastAnnouncedFile = b;
    ANSWER("LOADFILENAME", "");
    EXPECT_EQ(viewer.data.LastIndex, 19);

    // A name without a folder is taken in the current folder and remembered in full.
    const QString c = generate(QStringLiteral("c.lmd"), {"--rows", "10"});
    QDir::setCurrent(dir.path());
    ANSWER("LOADFILENAME", "c.lmd");
    EXPECT_EQ(viewer.data.LastIndex, 9);
    EXPECT_EQ(viewer.recent.RecentLoaded[0], c);

    // CD moves or says why not.
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    const QString sub = QDir::toNativeSeparators(dir.filePath(QStringLiteral("sub")));

    EXPECT_EQ(ANSWER("CHANGEDIR", "sub"), QStringList{"Current directory " + sub});
    EXPECT_EQ(ANSWER("CHANGEDIR", ".."), QStringList{"Current directory " + QDir::toNativeSeparators(dir.path())});
    EXPECT_EQ(ANSWER("CHANGEDIR", "nowhere"), QStringList{"There is no folder named nowhere."});

    QDir::setCurrent(QStringLiteral("/"));
    EXPECT_EQ(ANSWER("CHANGEDIR", ".."), QStringList{"There is no folder above /."});
    EXPECT_EQ(QDir::currentPath(), QStringLiteral("/"));
}

TEST_F(CommandFixture, ExportAndArchiveAnswersReachTheirSlots)
{
    const QString file = generate(QStringLiteral("obs.lmd"), {"--rows", "300"});
    load(file);
    QStringList exported;
    viewer.commandBox.hooks.exportToFile = [&](const QString &p) { exported << p; };
    ANSWER("EXPORT", "");
    ANSWER("EXPORT", "out.txt");
    ANSWER("EXPORT", "/elsewhere/x.txt");
    EXPECT_EQ(exported, (QStringList{dir.filePath("obs.txt"), dir.filePath("out.txt"), "/elsewhere/x.txt"}));

    bool found = true;
    viewer.commandBox.hooks.archiveSearch = [&](const QString &) { return found; };
    ANSWER("VA", "2024-03-21");
    EXPECT_EQ(pending(), QStringLiteral("VA"));   // the match list has the focus now
    EXPECT_TRUE(viewer.commandText.isEmpty());
    found = false;
    ANSWER("VA", "someday");
    EXPECT_TRUE(pending().isEmpty());
}
