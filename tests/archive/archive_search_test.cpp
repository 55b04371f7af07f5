#include "archive_search_fixture.h"

using ArchiveSupport::day;
using ArchiveSupport::recordLine;

namespace {

TEST_F(ArchiveSearchTest, FirstSearchFetchesTheIndexAndFindsTheRecordingsOfTheDay)
{
    const QStringList said = search("12/23/2003");
    EXPECT_EQ(said, (QStringList{"Downloading VArecords.txt", "Finished downloading.", "Saved VArecords.txt",
                                 "In folder " + QDir::toNativeSeparators(dir.path()) + ".", "Converting Veyra Archive Record index. Please wait.", "Searching Records.",
                                 "Matching Files for 12/23/2003   4"}));
    EXPECT_EQ(speech.spokenAsync, QStringList{"record  0"});   // once, though two header lines come first
    EXPECT_EQ(settings.read("Settings", "LastIndexDownload", ""), "2026-12-07");
    // The evening before, the one at 23:00, and those of the day; the list has the focus.
    ASSERT_EQ(entries().size(), 4);
    EXPECT_TRUE(entries()[0].startsWith(" 1  12/22/2003 11:00")) << entries()[0].toStdString();
    EXPECT_TRUE(entries()[1].startsWith(" 2  12/23/2003 11:00"));
    EXPECT_TRUE(entries()[2].endsWith("  Meteor Scatter  Detail of Meteor  Image  Text  LMD Sound"));
    EXPECT_EQ(surface.focus, "List1");
    EXPECT_EQ(viewer.commandBox.PendingCommand, "VA");

    // The prompt stays open: the next line is another date, searched in the same table.
    EXPECT_EQ(enter("12/23/2003 17:30").last(), "Matching Files for 12/23/2003 17:30   1");
    EXPECT_TRUE(entries()[0].startsWith(" 3  "));
    EXPECT_EQ(enter("12/23/2003 0:00").last(), "Matching Files for 12/23/2003 0:00   4");   // midnight = the day
    EXPECT_EQ(requestsFor("/archive/varecords_sort.txt"), 1);

    EXPECT_EQ(enter("12/25/2003").last(), "Matching Files for 12/25/2003   0");
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_FALSE(surface.isVisible("List1"));
    EXPECT_EQ(viewer.commandBox.PendingCommand, "");
}

TEST_F(ArchiveSearchTest, TheLocalIndexIsFetchedAgainOnlyForMomentsAfterItsDate)
{
    writeFile(path("VArecords.txt"), recordLine("12/6/2026", "0000", "12/6/2026", "2359", "Local").toUtf8());
    settings.write("Settings", "LastIndexDownload", "12/6/2026");

    EXPECT_FALSE(search("12/6/2026").contains("Index older than requested file."));
    EXPECT_EQ(entries().size(), 1);
    EXPECT_EQ(requestsFor("/archive/varecords_sort.txt"), 0);

    viewer.archive.index.ArchiveRecords.clear();   // as in a new run
    server.routes["/archive/varecords_sort.txt"].status = 500;
    const QStringList failed = search("12/6/2026 10:30");
    EXPECT_TRUE(failed.contains("Index older than requested file."));
    EXPECT_TRUE(failed.contains("Error downloading:The server answered 500 OK."));
    EXPECT_EQ(settings.read("Settings", "LastIndexDownload", ""), "12/6/2026");   // not fresh
    EXPECT_EQ(entries().size(), 1) << "the older copy is still searched";

    viewer.archive.index.ArchiveRecords.clear();
    server.routes["/archive/varecords_sort.txt"].status = 200;
    EXPECT_TRUE(search("12/6/2026 10:30").contains("Saved VArecords.txt"));
    EXPECT_EQ(settings.read("Settings", "LastIndexDownload", ""), "2026-12-07");
}

TEST_F(ArchiveSearchTest, APageServedInPlaceOfTheIndexNeverReplacesTheCopy)
{
    writeFile(path("VArecords.txt"), recordLine("12/6/2026", "0000", "12/6/2026", "2359", "Local").toUtf8());
    settings.write("Settings", "LastIndexDownload", "12/6/2026");
    serveIndex(QStringLiteral("<!DOCTYPE html>\n<html><body>Please log in</body></html>\n"));

    const QStringList said = search("12/7/2026");   // later than the copy: fetched again
    EXPECT_TRUE(said.contains("Error downloading:The file the server sent is not an archive index. The index from before is kept.")) << said.join(" | ").toStdString();
    EXPECT_EQ(settings.read("Settings", "LastIndexDownload", ""), "12/6/2026") << "not fresh";
    EXPECT_EQ(viewer.archive.index.highestRecord(), 1) << "the copy from before is read";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter("previous"), QStringList());

    // An index with one readable record among bad ones is an index.
    viewer.archive.index.ArchiveRecords.clear();
    serveIndex("<html>\n" + recordLine("1/1/99999", "0000", "1/1/2004", "0100") + recordLine("12/7/2026", "0000", "12/7/2026", "2359", "New"));
    EXPECT_EQ(search("12/7/2026").last(), "Matching Files for 12/7/2026   1");
    EXPECT_TRUE(entries().value(0).contains("New Scatter"));
}

TEST_F(ArchiveSearchTest, WithoutAnArchiveAddressNothingIsFetched)
{
    settings.remove("Settings", "ArchiveURL");
    const QStringList said = search("12/23/2003");
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].contains("ArchiveURL"));
    EXPECT_TRUE(server.requested.isEmpty());
    EXPECT_EQ(viewer.commandBox.PendingCommand, "");
    // A typing slip is heard first, whatever the setting.
    EXPECT_EQ(search("hello"), QStringList{"hello cannot be interpreted as a date."});
}

TEST_F(ArchiveSearchTest, TheListIsWalkedAndHeard)
{
    search("12/23/2003");
    MatchList &list = viewer.archive.List1;
    speech.spoken.clear();
    list.List1_GotFocus();
    EXPECT_EQ(speech.spoken, QStringList{"Archive List has focus. Record  1 of  4"});
    EXPECT_EQ(key("Down"), QStringList{"Record 2"});
    EXPECT_EQ(key("Shift+Down"), (QStringList{"Record 3", entries()[2]}));
    EXPECT_EQ(key("Alt+Down"), (QStringList{"Record 4", entries()[3]}));
    EXPECT_EQ(key("Down"), QStringList{"Record 4"});   // the last one again
    EXPECT_EQ(key("Return"), (QStringList{"Record 4", entries()[3]}));
    list.select(4);   // one past the end selects nothing
    EXPECT_EQ(list.selected(), -1);
    list.select(0);
    EXPECT_EQ(key("Up"), QStringList{"Record 1"});   // stays at the top
    EXPECT_EQ(key("T"), QStringList{"No text file associated with this record."});
    EXPECT_EQ(key("Shift+I"), QStringList{"No image file associated with this record."});
    EXPECT_EQ(key("W"), QStringList{"No sound file associated with this record."});
    list.select(-1);
    EXPECT_EQ(key("S"), QStringList{"No Lumora file associated with this record."});   // the empty record 0
    EXPECT_TRUE(server.requested.size() == 1) << "no key but S, W, I, T fetches anything";
    key("Tab");
    EXPECT_EQ(surface.focus, "txtIn");
}

TEST_F(ArchiveSearchTest, FilesAreFetchedIntoTheDataFolderThenLoadedOrOpened)
{
    server.serve("/archive/vadataclean/rec.lmd", readFile(generate("rec.lmd", {"--rows", "50"})));
    search("12/23/2003 17:30");
    viewer.archive.List1.List1_GotFocus();   // selects the first entry
    EXPECT_EQ(key("I").last(), "Error downloading:The server answered 404 Not Found.");   // not on the server
    EXPECT_TRUE(desktop.opened.isEmpty()) << "a failed download opens nothing";

    EXPECT_TRUE(key("S").contains("Number of channels  1."));   // the recording's report
    EXPECT_TRUE(viewer.data.FileLoaded);
    EXPECT_EQ(viewer.data.LoadedFileName, path("downloads/rec.lmd"));
    EXPECT_TRUE(entries().isEmpty()) << "loading a file empties the match list";
}

TEST_F(ArchiveSearchTest, AnUnsafeFileNameIsNeverRequestedNorWritten)
{
    search("1/5/2004");
    ASSERT_EQ(entries().size(), 1);
    viewer.archive.List1.select(0);
    EXPECT_EQ(key("S"), QStringList{"The file name of this record is not safe to use, so it was not downloaded."});
    EXPECT_EQ(server.requested.size(), 1);
    EXPECT_FALSE(QFile::exists(path("evil.lmd")));
    for (const char *name : {"..", ".", "a/b", "a\\b", "C:x", "http://x", "a\tb", ""})
        EXPECT_FALSE(isPlainFileName(QString::fromLatin1(name))) << name;
    EXPECT_TRUE(isPlainFileName("2003 12 23 meteor.lmd"));
}

// Ten recordings a day, every other hour, from 1 January 2000 on; the last one is returned.
QString tenADay(int count, QDate &last)
{
    QString text = QStringLiteral("header line\n");
    QDate date(2000, 1, 1);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && i % 10 == 0)
            date = date.addDays(1);
        const QString d = date.toString("M/d/yyyy");
        const QString hh = QString::number((i % 10) * 2).rightJustified(2, u'0');
        text += recordLine(d, hh + "00", d, hh + "30", QStringLiteral("R%1").arg(i + 1));
    }
    last = date;
    return text;
}

TEST_F(ArchiveSearchTest, ProgressEveryFiveHundredRecordsAndTheLastRecordFound)
{
    QDate last;
    serveIndex(tenADay(1000, last));
    EXPECT_EQ(search("1/2/2000").last(), "Matching Files for 1/2/2000   10");
    EXPECT_TRUE(entries()[0].startsWith(" 11  1/2/2000"));
    // Said before a line is looked at: 1000 is reached only after the last line.
    EXPECT_EQ(speech.spokenAsync, (QStringList{"record  0", "record  500"}));
    EXPECT_EQ(enter(last.toString("M/d/yyyy") + " 18:15").last(), "Matching Files for " + last.toString("M/d/yyyy") + " 18:15   1");
    EXPECT_TRUE(entries()[0].startsWith(" 1000  "));
}

TEST_F(ArchiveSearchTest, EscapeStopsASearchOfManyRecords)
{
    QDate last;
    serveIndex(tenADay(5000, last));
    search("1/2/2000");
    ASSERT_EQ(viewer.archive.index.highestRecord(), 5000);
    // The search looks at the window every few thousand records; Escape was pressed meanwhile.
    pump.script.push_back([this] { viewer.keyPress(QStringLiteral("Escape")); });
    const QStringList said = enter("1/3/2000");
    EXPECT_EQ(said, (QStringList{"Searching Records.", "Search cancelled by user.", "Matching Files for 1/3/2000   0"}));
    EXPECT_FALSE(viewer.speech.AbortRequested);
    EXPECT_EQ(search("1/3/2000").last(), "Matching Files for 1/3/2000   10") << "nothing pressed: found";
}

} // namespace
