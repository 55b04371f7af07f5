#include "voice/command_fixture.h"
#include <QRegularExpression>

class HelpFixture : public CommandFixture {
protected:
    QString file() const { return dir.filePath(QStringLiteral("LMSonifyHelp.txt")); }
    void SetUp() override
    {
        CommandFixture::SetUp();
        writeFile(file(), "\\\\ a comment about LOAD\r\n"
                          "LOAD asks for a file name.\r\n"
                          "ab\r\n"
                          "Downloads come from the archive.\n"
                          "Is this a question? Yes.\n"
                          "SCAN plays the chart.\n");
        viewer.help.LoadHelp({dir.filePath(QStringLiteral("missing.txt")), file()});
    }
};

TEST_F(HelpFixture, F1AndHelpSpeakAllLinesOrTheLinesHoldingTheWord)
{
    // Comments and short lines are left out.
    EXPECT_EQ(viewer.help.HelpLines, (QStringList{"LOAD asks for a file name.", "Downloads come from the archive.",
                                                  "Is this a question? Yes.", "SCAN plays the chart."}));
    viewer.keyPress(QStringLiteral("F1"));
    EXPECT_EQ(speech.spoken, viewer.help.HelpLines);

    speech.spoken.clear();
    viewer.commandText = QStringLiteral("load");
    viewer.keyPress(QStringLiteral("F1"));
    EXPECT_EQ(speech.spoken, (QStringList{"Help Matches for load", "LOAD asks for a file name.", "Downloads come from the archive."}));
    EXPECT_EQ(viewer.commandText, QStringLiteral("load"));   // F1 leaves the word in the box

    // Typed HELP, alone or with a word; "?" as a command: the echo, then the lines holding a question mark.
    EXPECT_EQ(enter(QStringLiteral("HELP")).mid(1), viewer.help.HelpLines);
    EXPECT_EQ(enter(QStringLiteral(" help  scan ")).mid(1), (QStringList{"Help Matches for scan", "SCAN plays the chart."}));
    EXPECT_EQ(enter(QStringLiteral("HELPSCAN")).mid(1), QStringList{"HELPSCAN is not a command. Press F1 for help."});
    EXPECT_EQ(enter(QStringLiteral("?")), (QStringList{"?", "Help Matches for ?", "Is this a question? Yes."}));

    speech.spoken.clear();
    viewer.commandText = QStringLiteral("scan");
    viewer.actions.run(QStringLiteral("mnuHelp"));
    EXPECT_EQ(speech.spoken, (QStringList{"Help Matches for scan", "SCAN plays the chart."}));
}

TEST_F(HelpFixture, EscapeOrAnyKeyEndsTheReadingAndTheMatchListHelpsWithItsOwnKeysOnly)
{
    pump.script.push_back([] {});
    pump.script.push_back([this] { viewer.keyPress(QStringLiteral("Escape")); });
    viewer.keyPress(QStringLiteral("F1"));
    EXPECT_EQ(speech.spoken.size(), 2);
    EXPECT_FALSE(viewer.speech.AbortRequested);

    speech.spoken.clear();
    viewer.keyPress(QStringLiteral("F1"));
    EXPECT_EQ(speech.spoken, viewer.help.HelpLines);   // starts again from the first line

    speech.spoken.clear();
    // Up, pressed while the first line is spoken, ends the reading after it.
    pump.script.push_back([this] { viewer.keyPress(QStringLiteral("Up")); });
    viewer.keyPress(QStringLiteral("F1"));
    EXPECT_EQ(speech.spoken, QStringList{viewer.help.HelpLines.first()});

    // F1 in the match list: the list's own lines, none of the help file's.
    surface.focus = QStringLiteral("List1");
    speech.spoken.clear();
    viewer.keyPress(QStringLiteral("F1"));
    ASSERT_EQ(speech.spoken, MatchList::helpLines());
    EXPECT_EQ(speech.spoken.last(), QStringLiteral("Press tab to go back to the normal command line."));

    // A key stops those too, and still does its own work.
    speech.spoken.clear();
    pump.script.push_back([this] { viewer.keyPress(QStringLiteral("Tab")); });
    viewer.keyPress(QStringLiteral("F1"));
    EXPECT_EQ(speech.spoken, QStringList{MatchList::helpLines().first()});
    EXPECT_EQ(surface.focus, QStringLiteral("txtIn"));
}

TEST_F(CommandFixture, ShippedHelpCoversEveryCommandWordAMissingFileIsAnnouncedALongOneKeptWhole)
{
    // Start-up found the shipped file beside the test program.
    const QStringList lines = viewer.help.HelpLines;
    ASSERT_FALSE(lines.isEmpty());
    for (const QString &word : viewer.commandBox.commandWords()) {
        // The word itself, in capitals as the help writes commands: "AM" inside "SAMPLE" is no help.
        const QRegularExpression spelled(QStringLiteral("(^|[^A-Z])") + QRegularExpression::escape(word) + QStringLiteral("([^A-Z]|$)"));
        const bool covered = std::any_of(lines.begin(), lines.end(), [&](const QString &l) { return spelled.match(l).hasMatch(); });
        EXPECT_TRUE(covered) << word.toStdString();
    }

    viewer.help.LoadHelp({dir.filePath(QStringLiteral("none.txt"))});
    EXPECT_EQ(speech.spoken.last(), "Lumora Sonify help file " + QDir::toNativeSeparators(dir.filePath("none.txt")) + " not found.");
    EXPECT_TRUE(viewer.help.HelpLines.isEmpty());

    QByteArray many;
    for (int i = 0; i < 1500; ++i)
        many += "Help line number " + QByteArray::number(i) + "\n";
    writeFile(dir.filePath(QStringLiteral("long.txt")), many);
    viewer.help.LoadHelp({dir.filePath(QStringLiteral("long.txt"))});
    EXPECT_EQ(viewer.help.HelpLines.size(), 1500);
}
