// The bounds of the archive's rules, each from both sides.
#include "archive/archive_dates.h"
#include "archive/archive_index.h"
#include "archive/archive_search.h"
#include "archive/downloader.h"
#include "archive/match_list.h"
#include "archive_support.h"
#include "support/fakes.h"
#include "voice/speech.h"
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using ArchiveSupport::day;
using ArchiveSupport::recordLine;

namespace {

TEST(ArchiveEdges, TwoDigitYearsUnder30AreThisCentury)
{
    EXPECT_DOUBLE_EQ(CvrtVADate(u"1/1/29"), day(2029, 1, 1));
    EXPECT_DOUBLE_EQ(CvrtVADate(u"1/1/30"), day(1930, 1, 1));
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(parseArchiveMoment("12/23/29", us), day(2029, 12, 23));
    EXPECT_EQ(parseArchiveMoment("12/23/30", us), day(1930, 12, 23));
}

TEST(ArchiveEdges, ARecordingMatchesFromItsFirstToItsLastMinute)
{
    ArchiveRecordTable records;
    readArchiveIndex(recordLine("12/23/2003", "1730", "12/23/2003", "1800").toUtf8(), records);
    const QList<qsizetype> one{1};
    EXPECT_EQ(findArchiveMatches(records, day(2003, 12, 23, 17, 30)), one);
    EXPECT_EQ(findArchiveMatches(records, day(2003, 12, 23, 18, 0)), one);
    EXPECT_EQ(findArchiveMatches(records, day(2003, 12, 23, 17, 29)), QList<qsizetype>());
    EXPECT_EQ(findArchiveMatches(records, day(2003, 12, 23, 18, 1)), QList<qsizetype>());
}

TEST(ArchiveEdges, CrLfLinesCountWithoutTheirCr)
{
    // "|2" and 7 characters is one short of a record line; with 8 it is one.
    const QByteArray record = recordLine("12/23/2003", "1730", "12/23/2003", "1800").replace(u'\n', QStringLiteral("\r\n")).toUtf8();
    ArchiveRecordTable records;
    readArchiveIndex("|2abcdefg\r\n" + record, records);
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[1].Label, "Meteor Scatter");
    EXPECT_DOUBLE_EQ(records[1].EndTime, day(2003, 12, 23, 18, 0));

    readArchiveIndex("|2abcdefgh\r\n" + record, records);
    EXPECT_EQ(records.size(), 3);
}

TEST(ArchiveEdges, TheSelectionStaysOnTheList)
{
    FakeSpeech voice;
    FakeSurface surface;
    FakePump pump;
    Speech speech{voice, pump, surface};
    MatchList list(speech, surface);
    list.setEntries({QStringLiteral("1  a"), QStringLiteral("2  b"), QStringLiteral("3  c")});
    list.select(2);
    EXPECT_EQ(list.selected(), 2);
    list.select(3);
    EXPECT_EQ(list.selected(), -1);
    list.select(0);
    EXPECT_EQ(list.selected(), 0);
    list.select(-1);
    EXPECT_EQ(list.selected(), -1);
}

} // namespace
