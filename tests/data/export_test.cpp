#include "data/delimited_export.h"
#include "save_fixture.h"
#include "voice/number_forms.h"
#include <QLocale>

TEST(ExportLine, SecondsRoundHalfUpWithAPointWhateverTheLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(DelimitedExport::exportLine(0.0004, 2.5), QByteArray("0.000, 2.5\r\n"));
    EXPECT_EQ(DelimitedExport::exportLine(0.0005, -2.5), QByteArray("0.001,-2.5\r\n"));
    EXPECT_EQ(DelimitedExport::exportLine(12345.6, 0), QByteArray("12345.600, 0\r\n"));
    EXPECT_EQ(DelimitedExport::exportLine(1.0, 1234.5).count(','), 1);
    QLocale::setDefault(before);
}

class Export : public SaveFixture {
protected:
    QString loaded;

    void SetUp() override
    {
        SaveFixture::SetUp();
        loaded = generate(QStringLiteral("night.lmd"), {"--channels", "2", "--rows", "500", "--rate", "10"});
    }

    void type(const QString &line)
    {
        viewer.commandText = line;
        viewer.keyPress(QStringLiteral("Return"));
    }
};

TEST_F(Export, WritesTheVisibleRowsOfTheCursorChannelTimedFromTheFirstRow)
{
    load(loaded);
    writeFile(path(QStringLiteral("night.txt")), QByteArray(100000, 'x'));   // a longer old export
    viewer.chart.setCursorChannel(1);
    showRows(100, 199);

    type(QStringLiteral("EXPORT"));
    type(QString());   // named after the data file

    const QList<QByteArray> lines = contents(path(QStringLiteral("night.txt"))).split('\n');
    ASSERT_EQ(lines.size(), 101);   // 100 lines, each ended by CR LF
    EXPECT_TRUE(lines.last().isEmpty());
    EXPECT_TRUE(lines.first().startsWith("10.000,"));
    EXPECT_TRUE(lines[99].startsWith("19.900,"));
    for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(lines[i].endsWith('\r'));
        EXPECT_EQ(lines[i].count(','), 1);
        EXPECT_EQ(lines[i].mid(lines[i].indexOf(',') + 1).chopped(1),
                  NumberForms::signPadded(viewer.chart.GetValue(1, 100 + i)).toLatin1());
    }
    EXPECT_EQ(speech.spoken.last(), QStringLiteral("File Exported Successfully"));
    EXPECT_TRUE(viewer.commandBox.PendingCommand.isEmpty());
}

TEST_F(Export, WithoutAFileNothingIsWritten)
{
    type(QStringLiteral("EXP"));
    type(QStringLiteral("early.txt"));
    EXPECT_EQ(speech.spoken.last(), QStringLiteral("Please load a file before attempting to export."));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("early.txt")));
}

TEST_F(Export, TheMenuBeforeAnyExportAnswerHasNoFileToWrite)
{
    load(loaded);
    viewer.actions.run(QStringLiteral("mnuExportToTabDelimitedFile"));
    EXPECT_TRUE(speech.spoken.last().startsWith(QLatin1String("There was an error exporting \r\n")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("night.lmd")});
}

TEST_F(Export, AFailedWriteKeepsTheOldExport)
{
    load(loaded);
    const QString target = path(QStringLiteral("old.txt"));
    for (const QString &answer : {QStringLiteral("old.txt"), path(QStringLiteral("missing/old.txt"))}) {
        writeFile(target, "old lines\r\n");
        viewer.exporter.openFile = [](const QString &p) { return std::make_unique<FailingSaveFile>(p, 5000); };
        type(QStringLiteral("EXPORT"));
        type(answer);
        EXPECT_EQ(contents(target), QByteArray("old lines\r\n"));
        EXPECT_TRUE(speech.spoken.last().startsWith(QLatin1String("There was an error exporting ")));
    }
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("missing"))));
}
