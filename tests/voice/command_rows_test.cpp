#include "voice/command_fixture.h"

namespace {

struct PromptCase {
    const char *typed;
    QStringList prompt;   // spoken after the echo
    const char *pending;
};

} // namespace

TEST_F(CommandFixture, PromptRowsEchoAskAndWait)
{
    const QList<PromptCase> cases = {
        {"LOAD", {"Enter File Name to Load or Enter to load last announced file."}, "LOADFILENAME"},
        {"  load ", {"Enter File Name to Load or Enter to load last announced file."}, "LOADFILENAME"},
        {"Veyra", {"Enter Date or Date and time for Veyra Archive search."}, "VA"},
        {"exp", {"Enter a file name for the exported file or press enter to have the file named automatically. Escape cancels."}, "EXPORT"},
        {"CHG DIR", {"Enter Directory Name or dot dot to move up."}, "CHANGEDIR"},
        {"TONE", {"Enter tone frequency in hertz to use with AM sonification."}, "TONE"},
        {"VOL", {"Enter volume 1 to 10."}, "VOL"},
        {"SPEED", {"Enter scan speed in samples per second."}, "SPEED"},
    };
    for (const PromptCase &c : cases) {
        viewer.commandBox.PendingCommand.clear();
        const QStringList said = enter(QString::fromLatin1(c.typed));
        EXPECT_EQ(said, QStringList{QString::fromLatin1(c.typed)} + c.prompt) << c.typed;
        EXPECT_EQ(pending(), QString::fromLatin1(c.pending)) << c.typed;
        EXPECT_TRUE(viewer.commandText.isEmpty());
        EXPECT_EQ(surface.focus, QStringLiteral("txtIn"));
    }
}

TEST_F(CommandFixture, UnknownTextIsNamedEmptyTextSaysNothingAndQuitCloses)
{
    EXPECT_EQ(enter(QStringLiteral(" hello ")), (QStringList{" hello ", "hello is not a command. Press F1 for help."}));
    EXPECT_EQ(enter(QStringLiteral("FO")), (QStringList{"FO", "FO is not a command. Press F1 for help."}));
    // A prompting word glued to more text is no command either.
    EXPECT_EQ(enter(QStringLiteral("WIDTHS 10")).mid(1), QStringList{"WIDTHS 10 is not a command. Press F1 for help."});
    EXPECT_TRUE(enter(QString()).isEmpty());
    EXPECT_TRUE(enter(QStringLiteral("   ")).isEmpty());
    EXPECT_TRUE(pending().isEmpty());
    EXPECT_EQ(enter(QStringLiteral("LASTFILE")), (QStringList{"LASTFILE", "No file has been loaded yet."}));
    viewer.recent.AddRecentLoaded(generate(QStringLiteral("a.lmd"), {"--rows", "40"}));
    enter(QStringLiteral("last file"));
    EXPECT_EQ(viewer.data.LastIndex, 39);
    EXPECT_EQ(enter(QStringLiteral("quit")), (QStringList{"quit", "Closing Lumora Sonified Review Program."}));
    EXPECT_TRUE(viewer.Closing);
}

TEST_F(CommandFixture, ViewPromptsSpeakTheCurrentValuesAndFullShowsEverySample)
{
    load(generate(QStringLiteral("a.lmd"), {"--rows", "600", "--rate", "1", "--ymax", "4"}));
    viewer.chart.setYAxisMin(-2.5);
    viewer.chart.setYAxisMax(7.5);
    const QList<PromptCase> cases = {
        {"WIDTH", {"Width 00:09:59", "Enter Chart Width in Minutes or press escape."}, "WIDTH"},
        {"max", {"Channel  1 Current Y Max  7", "Enter new Y Max or escape to abort."}, "MAX"},
        {"MIN", {"Channel  1 Current Y Min -3", "Enter new Y Min or escape to abort."}, "MIN"},
        {"START", {"Chart window starts at 21:00:00", "Enter new start time in hours colon minutes colon seconds or escape to abort."}, "START"},
        {"STOP", {"Chart window stops at 21:09:59", "Enter new stop time in hours colon minutes colon seconds or escape to abort."}, "STOP"},
    };
    for (const PromptCase &c : cases) {
        viewer.commandBox.PendingCommand.clear();
        EXPECT_EQ(enter(QString::fromLatin1(c.typed)).mid(1), c.prompt) << c.typed;
        EXPECT_EQ(pending(), QString::fromLatin1(c.pending)) << c.typed;
    }
    viewer.commandBox.PendingCommand.clear();
    viewer.chart.setXAxisMax(viewer.chart.GetTime(200));
    EXPECT_EQ(enter(QStringLiteral("FULL")).value(1), QStringLiteral("setting chart to full view."));
    EXPECT_EQ(viewer.chart.XAxisMax(), viewer.chart.GetTime(599));
}

TEST_F(CommandFixture, ChannelsAsksOnlyWithSeveralChannelsAndTheAnswerIsFloored)
{
    load(generate(QStringLiteral("one.lmd"), {"--channels", "1", "--rows", "50"}));
    EXPECT_EQ(enter(QStringLiteral("CHL")).mid(1), QStringList{"number of channels  1"});
    EXPECT_TRUE(pending().isEmpty());

    load(generate(QStringLiteral("three.lmd"), {"--channels", "3", "--rows", "50"}));
    EXPECT_EQ(enter(QStringLiteral("channels")).mid(1),
              (QStringList{"number of channels  3", "Current cursor channel  1",
                           "Enter new channel number to change or escape to abort change."}));
    EXPECT_EQ(pending(), QStringLiteral("CURSORCHANNEL"));
    // The answer is floored; one out of range changes nothing, and the channel is always spoken.
    for (const char *typed : {"2.7", "4", "0.5"}) {   // the second two are out of range and change nothing
        EXPECT_EQ(answer(QStringLiteral("CURSORCHANNEL"), QLatin1String(typed)), QStringList{"Cursor channel is now  2"}) << typed;
        EXPECT_EQ(viewer.chart.CursorChannel(), 1) << typed;
    }

    // Rows of other parts run their slot, or only echo when it has none.
    QStringList ran;
    auto &h = viewer.commandBox.hooks;
    h.mnuSoundAmplitude = [&] { ran << "AM"; };
    h.mnuSoundFreq = [&] { ran << "FM"; };
    h.mnuScan = {};
    for (const char *word : {"amp", "FREQ", "fm", "sonify"})
        EXPECT_EQ(enter(QLatin1String(word)), QStringList{QLatin1String(word)});
    EXPECT_EQ(ran, (QStringList{"AM", "FM", "FM"}));
}

TEST_F(CommandFixture, FileListingsTakeTheEndingFromTheSeventhCharacter)
{
    for (const char *name : {"a.lmd", "b.txt", "c.md"})
        writeFile(dir.filePath(QString::fromLatin1(name)), {});
    QDir::setCurrent(dir.path());
    auto heard = [](const QStringList &said, const char *name) { return said.join(u'\n').contains(QLatin1String(name)); };

    QStringList said = enter(QStringLiteral("FILES LMD"));
    EXPECT_TRUE(heard(said, "a.lmd") && !heard(said, "c.md"));

    said = enter(QStringLiteral("FILESLMD"));   // the ending is "MD"
    EXPECT_TRUE(heard(said, "a.lmd") && heard(said, "c.md") && !heard(said, "b.txt"));

    said = enter(QStringLiteral("LIST FILES"));
    EXPECT_TRUE(heard(said, "a.lmd") && heard(said, "b.txt") && heard(said, "c.md"));
}
