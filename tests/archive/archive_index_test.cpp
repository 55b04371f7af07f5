#include "archive/archive_dates.h"
#include "archive/archive_index.h"
#include "archive/archive_records.h"
#include "archive/archive_search.h"
#include "archive/downloader.h"
#include "archive_support.h"
#include "support/fakes.h"
#include "support/files.h"
#include "voice/speech.h"
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using ArchiveSupport::day;
using ArchiveSupport::recordLine;

namespace {

TEST(ArchiveDates, IndexFieldsConvertByTheirRules)
{
    EXPECT_DOUBLE_EQ(CvrtVASortDate(u"200312231730"), day(2003, 12, 23, 17, 30));
    EXPECT_EQ(CvrtVASortDate(u"20031223173"), 0);   // 11 characters
    EXPECT_DOUBLE_EQ(CvrtVADate(u"2/30/2004"), day(2004, 3, 1));
    EXPECT_DOUBLE_EQ(CvrtVADate(u"13/1/2003"), day(2004, 1, 1));
    EXPECT_DOUBLE_EQ(CvrtVADate(u"3/0/2004"), day(2004, 2, 29));
    EXPECT_DOUBLE_EQ(CvrtVADate(u""), day(1999, 11, 30));
    EXPECT_THROW(CvrtVADate(u"1/1/99999"), ArchiveFormatError);
    EXPECT_DOUBLE_EQ(CvrtVATime(u"0105"), (60 + 5) / 1440.0);
    EXPECT_EQ(CvrtVATime(u"105"), 0);
    EXPECT_EQ(archiveValue(u"  42abc"), 42);
    EXPECT_EQ(archiveValue(u"x1"), 0);
    EXPECT_DOUBLE_EQ(archiveValue(u"-6.5"), -6.5);

    QStringView line = u"a|b||c";
    EXPECT_EQ(GetVAParam(line), u"a");
    EXPECT_EQ(GetVAParam(line), u"b");
    EXPECT_EQ(GetVAParam(line), u"");
    EXPECT_EQ(GetVAParam(line), u"");   // no "|" left: empty, line kept
    EXPECT_EQ(line, u"c");
}

TEST(ArchiveDates, TypedMomentsInTheLocaleAndIso)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(parseArchiveMoment("12/23/2003", us), day(2003, 12, 23));
    EXPECT_EQ(parseArchiveMoment("12/23/2003 17:30", us), day(2003, 12, 23, 17, 30));
    EXPECT_EQ(parseArchiveMoment("12/23/2003 5:30 PM", us), day(2003, 12, 23, 17, 30));
    EXPECT_EQ(parseArchiveMoment("12/23/2003 12:15 am", us), day(2003, 12, 23, 0, 15));
    EXPECT_EQ(parseArchiveMoment("2003-12-23 17:30", us), day(2003, 12, 23, 17, 30));
    EXPECT_EQ(parseArchiveMoment("2003-12-23T17:30", us), day(2003, 12, 23, 17, 30));
    // The plain C locale reads and writes as POSIX does, month first.
    EXPECT_EQ(parseArchiveMoment("12/23/2003 17:30", QLocale::c()), day(2003, 12, 23, 17, 30));
    EXPECT_EQ(generalDateTime(day(2003, 12, 23, 17, 30), QLocale::c()), "12/23/2003 17:30");
    for (const char *bad : {"", "tomorrow", "2/30/2004", "12/23/2003 25:00", "12/23/2003 13:00 PM", "17:30", "12/23"})
        EXPECT_FALSE(parseArchiveMoment(QString::fromLatin1(bad), us)) << bad;

    EXPECT_EQ(generalDateTime(day(2003, 12, 23), us), "12/23/2003");   // midnight: the date alone
    EXPECT_EQ(generalDateTime(day(2003, 12, 23, 17, 30), us), "12/23/2003 " + us.toString(QTime(17, 30), QLocale::ShortFormat));
}

TEST(ArchiveDates, LastIndexDownloadReadsBackTheDateItWasWrittenAs)
{
    const double written = day(2026, 12, 7);
    EXPECT_EQ(lastIndexDownloadText(written), "2026-12-07");
    EXPECT_EQ(readLastIndexDownload(lastIndexDownloadText(written)), written);
    EXPECT_EQ(readLastIndexDownload("1/1/1999"), day(1999, 1, 1));
    EXPECT_EQ(readLastIndexDownload("12/6/2026"), day(2026, 12, 6));
    EXPECT_LT(readLastIndexDownload("garbage"), day(2000, 1, 1));   // unreadable counts as old
}

TEST(ArchiveDates, TwoDigitYearsUnder30AreThisCentury)
{
    EXPECT_DOUBLE_EQ(CvrtVADate(u"1/1/29"), day(2029, 1, 1));
    EXPECT_DOUBLE_EQ(CvrtVADate(u"1/1/30"), day(1930, 1, 1));
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(parseArchiveMoment("12/23/29", us), day(2029, 12, 23));
    EXPECT_EQ(parseArchiveMoment("12/23/30", us), day(1930, 12, 23));
}

TEST(ArchiveDates, ARecordingMatchesFromItsFirstToItsLastMinute)
{
    ArchiveRecordTable records;
    readArchiveIndex(recordLine("12/23/2003", "1730", "12/23/2003", "1800").toUtf8(), records);
    const QList<qsizetype> one{1};
    EXPECT_EQ(findArchiveMatches(records, day(2003, 12, 23, 17, 30)), one);
    EXPECT_EQ(findArchiveMatches(records, day(2003, 12, 23, 18, 0)), one);
    EXPECT_EQ(findArchiveMatches(records, day(2003, 12, 23, 17, 29)), QList<qsizetype>());
    EXPECT_EQ(findArchiveMatches(records, day(2003, 12, 23, 18, 1)), QList<qsizetype>());
}

struct Read {
    ArchiveRecordTable records;
    QList<qsizetype> progress;
    IndexReading reading;
    explicit Read(const QString &text) : Read(text.toUtf8()) {}
    explicit Read(const QByteArray &bytes)
    {
        reading = readArchiveIndex(bytes, records, [this](qsizetype n) {
            progress << n;
            return true;
        });
    }
};

TEST(ArchiveIndexReader, SkipsEverythingButRecordLines)
{
    const Read headerOnly(QStringLiteral("Veyra Archive index\n\n\n|1999 old style line\n|2003\n"));
    EXPECT_EQ(headerOnly.records.size(), 1);

    const QString line = recordLine("12/23/2003", "1700", "12/23/2003", "1730", "Meteor", {"i.png", "d.lmd", "t.txt", "s.wav"});
    const Read one(QStringLiteral("header\n") + line);
    ASSERT_EQ(one.records.size(), 2);
    const ArchiveRecord &r = one.records[1];
    EXPECT_EQ(r.SortTime, day(2003, 12, 23, 17, 0));
    EXPECT_EQ(r.Label, "Meteor Scatter");
    EXPECT_EQ(r.Value6, 6.5);
    EXPECT_EQ(r.EndTime, day(2003, 12, 23, 17, 30));
    EXPECT_EQ(r.Detail, "Detail of Meteor");
    EXPECT_EQ((QStringList{r.ImageFile, r.DataFile, r.TextFile, r.SoundFile}), (QStringList{"i.png", "d.lmd", "t.txt", "s.wav"}));
}

TEST(ArchiveIndexReader, ShortLinesAndAnUnendedLastLine)
{
    // Only 14 fields: the end and the file names are empty.
    const Read shortLine(QStringLiteral("|200312231700|a|b|c|d|1|2|e|f|g|h|i|12/23/2003|1700|\n"));
    ASSERT_EQ(shortLine.records.size(), 2);
    EXPECT_EQ(shortLine.records[1].EndTime, day(1999, 11, 30));
    EXPECT_TRUE(shortLine.records[1].DataFile.isEmpty());

    QString unended = recordLine("1/1/2004", "0000", "1/1/2004", "0100", "Last", {"", "last.lmd", "", ""});
    unended.chop(1);
    const Read tail(unended);
    ASSERT_EQ(tail.records.size(), 2);
    EXPECT_EQ(tail.records[1].DataFile, "last.lmd");
}

TEST(ArchiveIndexReader, ARecordWithADateNoCalendarHoldsIsSkippedAndCounted)
{
    QString badSortKey = recordLine("1/6/2004", "0000", "1/6/2004", "0100");
    badSortKey.replace(QStringLiteral("|200312231700|"), QStringLiteral("|2e9900000000|"));
    const Read read(recordLine("1/1/2004", "0000", "1/1/2004", "0100", "First") +
                    recordLine("1/1/99999", "0000", "1/1/2004", "0100") +
                    recordLine("1/2/2004", "0000", "32767/1/2004", "0100", "Second") +   // the largest month
                    recordLine("1/3/2004", "0000", "32768/1/2004", "0100") +
                    QStringLiteral("|200401050000|a|b|c|d|1|2|e|f|g|h|i|1/5/2004|0000|1/5/2004|0100|1/1/-32769|0000|\n") +
                    badSortKey + recordLine("1/7/2004", "0000", "1/-32768/2004", "0100", "Last"));
    EXPECT_EQ(read.reading.unreadable, 4);
    ASSERT_EQ(read.records.highest(), 3);
    EXPECT_EQ(read.records[1].Label, "First Scatter");
    EXPECT_EQ(read.records[2].Label, "Second Scatter");
    EXPECT_EQ(read.records[2].EndTime, day(4734, 7, 1, 1, 0));
    EXPECT_EQ(read.progress.last(), 2) << "every line is looked at";
}

TEST(ArchiveIndexReader, LinesEndingInACarriageReturnAloneAreLines)
{
    const QString lf = QStringLiteral("Veyra index\n\n") + recordLine("1/1/2004", "0000", "1/1/2004", "0100", "One") +
                       recordLine("1/2/2004", "0000", "1/2/2004", "0100", "Two") +
                       recordLine("1/3/2004", "0000", "1/3/2004", "0100", "Three", {"", "three.lmd", "", ""});
    QString cr = lf;
    cr.replace(u'\n', u'\r');
    const Read read(cr);
    ASSERT_EQ(read.records.highest(), 3);
    EXPECT_EQ(read.records[3].DataFile, "three.lmd");
    EXPECT_EQ(read.progress, (QList<qsizetype>{0, 0, 0, 1, 2})) << "the blank line is a line of its own";

    // A lone CR among LF lines ends a line too; CR LF stays one line end.
    QString mixed = lf;
    mixed.replace(QStringLiteral("|Two|Scatter|"), QStringLiteral("|Two|\rScatter|")).replace(QStringLiteral("|\n|"), QStringLiteral("|\r\n|"));
    const Read both(mixed);
    EXPECT_EQ(both.records.highest(), 3);
    EXPECT_EQ(both.records[2].Label, "Two ") << "the line was cut at its CR";
}

TEST(ArchiveIndexReader, FieldsKeepTheirAccentsInUtf8AndInLatin1)
{
    const QString line = recordLine("1/1/2004", "0000", "1/1/2004", "0100", QStringLiteral("M\u00e9t\u00e9or"),
                                    {"", QStringLiteral("m\u00e9t\u00e9or.lmd"), "", ""});
    const Read utf8(line.toUtf8());
    const Read latin1(line.toLatin1());
    for (const Read *read : {&utf8, &latin1}) {
        ASSERT_EQ(read->records.highest(), 1);
        EXPECT_EQ(read->records[1].Label, QStringLiteral("M\u00e9t\u00e9or Scatter"));
        EXPECT_EQ(read->records[1].Detail, QStringLiteral("Detail of M\u00e9t\u00e9or"));
        EXPECT_EQ(read->records[1].DataFile, QStringLiteral("m\u00e9t\u00e9or.lmd"));
    }
    // Out of range and slot 0: the empty record.
    EXPECT_TRUE(utf8.records[0].Label.isEmpty());
    EXPECT_TRUE(utf8.records[2].DataFile.isEmpty());
}

TEST(ArchiveIndexReader, TellsAnIndexFromAPageServedInItsPlace)
{
    EXPECT_TRUE(readsAsArchiveIndex(recordLine("1/1/2004", "0000", "1/1/2004", "0100").toUtf8()));
    EXPECT_TRUE(readsAsArchiveIndex(("<html>\n" + recordLine("1/1/99999", "0000", "1/1/2004", "0100") +
                                     recordLine("1/1/2004", "0000", "1/1/2004", "0100"))
                                        .toUtf8()));
    EXPECT_FALSE(readsAsArchiveIndex("<!DOCTYPE html>\n<html><body>|2 Not Found</body></html>\n"));
    EXPECT_FALSE(readsAsArchiveIndex(recordLine("1/1/99999", "0000", "1/1/2004", "0100").toUtf8()));
    EXPECT_FALSE(readsAsArchiveIndex("|20031223\n"));   // 9 characters: too short for a record
    EXPECT_FALSE(readsAsArchiveIndex("|20031223\r\n"));   // the same, its CR not counted
    EXPECT_TRUE(readsAsArchiveIndex("|200312231\n"));   // 10: a record whose fields are all empty
    EXPECT_FALSE(readsAsArchiveIndex(""));
}

// The local copy read into the table, as the search's first step reads it.
class IndexReadTest : public ::testing::Test {
protected:
    FakeSpeech voice;
    FakeSurface surface;
    FakePump pump;
    FakeSettings settings;
    Speech speech{voice, pump, surface};
    Downloader downloader{speech, pump};
    ArchiveIndex index{speech, pump, settings, downloader};
    QTemporaryDir dir;

    void SetUp() override { index.localIndexPath = dir.filePath(QStringLiteral("VArecords.txt")); }

    void writeIndex(const QByteArray &bytes) { writeFile(index.localIndexPath, bytes); }
    static QByteArray records(int count, const QString &startDate = QStringLiteral("1/1/2004"))
    {
        QByteArray text;
        for (int i = 0; i < count; ++i)
            text += recordLine(startDate, "0000", "1/2/2004", "0000", QStringLiteral("R%1").arg(i + 1)).toUtf8();
        return text;
    }
};

TEST_F(IndexReadTest, UnreadableRecordsAreSaidOnceAtTheEnd)
{
    writeIndex(records(2) + records(1, "1/1/99999") + records(3) + records(1, "1/1/40000"));
    ASSERT_TRUE(index.ReadInRecs());
    EXPECT_EQ(voice.spoken, (QStringList{"Converting Veyra Archive Record index. Please wait.",
                                         "2 records of the index could not be read."}));

    writeIndex(records(1, "1/1/99999") + records(1));
    index.ReadInRecs();
    EXPECT_EQ(voice.spoken.last(), "1 record of the index could not be read.");
    EXPECT_EQ(index.highestRecord(), 1);
}

TEST_F(IndexReadTest, EscapeStopsTheReadingAndLeavesNoHalfTable)
{
    writeIndex(records(1200));
    pump.script.push_back([] {});   // "Converting"
    pump.script.push_back([this] { speech.AbortRequested = true; });   // at "record  0"
    index.ReadInRecs();
    EXPECT_EQ(index.highestRecord(), 0) << "a half table would be searched as if whole";
    EXPECT_EQ(voice.spokenAsync, QStringList{"record  0"});
    EXPECT_EQ(voice.spoken.last(), "Index reading cancelled by user.");
    EXPECT_FALSE(speech.AbortRequested) << "the stop was heard; the next command starts afresh";

    // Not pressed: the same file is read whole, and its last count said.
    voice.spokenAsync.clear();
    pump.script.clear();
    index.ReadInRecs();
    EXPECT_EQ(index.highestRecord(), 1200);
    EXPECT_EQ(voice.spokenAsync.last(), "record  1000");
    EXPECT_EQ(index.ArchiveRecords[1200].Label, "R1200 Scatter");
}

TEST_F(IndexReadTest, AnIndexLargerThanTheLimitIsNotRead)
{
    index.sizeLimit = qint64(1) << 20;
    const QByteArray body = records(3);
    QByteArray header(index.sizeLimit - body.size() - 1, 'x');
    header += '\n';
    writeIndex(header + body);   // exactly the limit
    index.ReadInRecs();
    EXPECT_EQ(index.highestRecord(), 3);

    writeIndex(header + 'x' + body);
    voice.spoken.clear();
    index.ReadInRecs();
    EXPECT_EQ(index.highestRecord(), 0);
    EXPECT_EQ(voice.spoken, QStringList{"Error reading Veyra Record File\r\nThe file is larger than the index limit (1 MB) allows."});
}

} // namespace
