#include "archive/archive_index.h"
#include "archive/downloader.h"
#include "archive_support.h"
#include "support/fakes.h"
#include "support/files.h"
#include "voice/speech.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using ArchiveSupport::day;
using ArchiveSupport::recordLine;

namespace {

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
    EXPECT_EQ(index.highestRecord(), 5);
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
