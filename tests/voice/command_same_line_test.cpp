// Commands typed with their answer on one line, and the RATE prompt.
#include "voice/command_fixture.h"
#include "voice/voice_settings.h"

TEST_F(CommandFixture, APromptingCommandTakesItsAnswerFromTheSameLineWithItsLetters)
{
    load(generate(QStringLiteral("a.lmd"), {"--rows", "600", "--rate", "1"}));
    StripChartModel &c = viewer.chart;
    const double left = c.XAxisMin();

    // Echo, then the answer's own words: no prompt, nothing left waiting.
    EXPECT_EQ(enter(QStringLiteral("width 10")), (QStringList{"width 10", "Chart window now 10 minutes wide."}));
    EXPECT_DOUBLE_EQ(c.XAxisMax(), left + 10.0 / 1440);
    EXPECT_TRUE(pending().isEmpty());

    EXPECT_EQ(enter(QStringLiteral("START   21:05:00 ")).size(), 4);   // echo and the width report
    EXPECT_NEAR(c.XAxisMin(), c.GetTime(300), 1e-9);

    // The row itself still prompts.
    EXPECT_EQ(enter(QStringLiteral("WIDTH")).size(), 3);
    EXPECT_EQ(pending(), QStringLiteral("WIDTH"));

    // An answer on the command line keeps its letters and its prompt's ways.
    viewer.commandBox.PendingCommand.clear();
    const QString file = generate(QStringLiteral("Mixed Case.lmd"), {"--rows", "40"});
    QDir::setCurrent(dir.path());
    enter(QStringLiteral("load Mixed Case.lmd"));
    EXPECT_TRUE(viewer.data.FileLoaded);
    EXPECT_EQ(viewer.recent.RecentLoaded[0], file);

    // LOAD D stays the dialog row; any other text after LOAD is a file name.
    enter(QStringLiteral("LOAD D"));
    EXPECT_EQ(surface.dialogs.size(), 1);

    QStringList exported;
    viewer.commandBox.hooks.exportToFile = [&](const QString &p) { exported << p; };
    enter(QStringLiteral("EXP Out.TXT"));
    EXPECT_EQ(exported, QStringList{dir.filePath(QStringLiteral("Out.TXT"))});

    // An archive date with matches leaves the prompt waiting in the match list, as at the prompt.
    QStringList dates;
    viewer.commandBox.hooks.archiveSearch = [&](const QString &t) {
        dates << t;
        surface.setFocus(QStringLiteral("List1"));
        return true;
    };
    enter(QStringLiteral("VEYRA 2024-03-21 10:00"));
    EXPECT_EQ(dates, QStringList{"2024-03-21 10:00"});
    EXPECT_EQ(pending(), QStringLiteral("VA"));
    EXPECT_EQ(surface.focus, QStringLiteral("List1"));
}

TEST_F(CommandFixture, RateIsAskedForCheckedSpokenAppliedAndRemembered)
{
    speech.styles.clear();
    EXPECT_EQ(enter(QStringLiteral("rate")).mid(1),
              QStringList{"Enter speech rate from -100 for the slowest to 100 for the fastest."});
    EXPECT_EQ(pending(), QStringLiteral("RATE"));
    EXPECT_EQ(enter(QStringLiteral("20")), QStringList{"Speech rate 20."});
    ASSERT_EQ(speech.styles.size(), 1);
    EXPECT_EQ(speech.styles[0].rate, 20);
    EXPECT_FALSE(speech.styles[0].pitch.has_value());   // only the rate changes
    EXPECT_EQ(settings.read(QStringLiteral("Settings"), QStringLiteral("SpeechRate"), QString()), QStringLiteral("20"));

    EXPECT_EQ(answer(QStringLiteral("RATE"), QStringLiteral("-100")), QStringList{"Speech rate -100."});
    EXPECT_EQ(answer(QStringLiteral("RATE"), QStringLiteral("100")), QStringList{"Speech rate 100."});
    EXPECT_EQ(enter(QStringLiteral("RATE 12.6")).mid(1), QStringList{"Speech rate 13."});
    const QStringList refused{"Speech rate unchanged: it must be from -100 to 100."};
    for (const char *bad : {"101", "-100.5", "fast", ""})
        EXPECT_EQ(answer(QStringLiteral("RATE"), QString::fromLatin1(bad)), refused) << bad;
    EXPECT_EQ(speech.styles.size(), 4);
    EXPECT_EQ(settings.read(QStringLiteral("Settings"), QStringLiteral("SpeechRate"), QString()), QStringLiteral("13"));
    EXPECT_TRUE(pending().isEmpty());

    // A restart applies the remembered rate before it says anything.
    speech.styles.clear();
    bool spokeFirst = false;
    speech.onSpeak = [&](const QString &) { spokeFirst = spokeFirst || speech.styles.isEmpty(); };
    Viewer restarted{Ports{speech, surface, pump, settings}};
    restarted.startUp();
    ASSERT_EQ(speech.styles.size(), 1);
    EXPECT_EQ(speech.styles[0].rate, 13);
    EXPECT_FALSE(spokeFirst);
}

TEST(VoiceSettings, NothingStoredLeavesTheServiceAloneAndStoredLevelsAreBounded)
{
    FakeSettings store;
    const auto read = [&](const char *rate, const char *pitch, const char *voice) {
        store.write(QStringLiteral("Settings"), QStringLiteral("SpeechRate"), QLatin1String(rate));
        store.write(QStringLiteral("Settings"), QStringLiteral("SpeechPitch"), QLatin1String(pitch));
        store.write(QStringLiteral("Settings"), QStringLiteral("SpeechVoice"), QLatin1String(voice));
        return VoiceSettings::read(store);
    };
    const VoiceStyle none = read(" ", "high", "  "), bounds = read("-100", "100", " female1 "), past = read("-101", "250", "");
    EXPECT_FALSE(none.rate || none.pitch || !none.voice.isEmpty());
    EXPECT_TRUE(bounds.rate == -100 && bounds.pitch == 100 && bounds.voice == QStringLiteral("female1"));
    EXPECT_TRUE(past.rate == -100 && past.pitch == 100);
}
