#include "data/delimited_export.h"
#include "save_fixture.h"
#include <QDir>
#include <QLocale>

TEST(ExportLine, SecondsRoundHalfUpWithAPointWhateverTheLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(DelimitedExport::exportLine(0.0004, 2.5), QByteArray("0.000, 2.5\r\n"));
    EXPECT_EQ(DelimitedExport::exportLine(0.0005, -2.5), QByteArray("0.001,-2.5\r\n"));
    EXPECT_EQ(DelimitedExport::exportLine(12345.6, 1234.5), QByteArray("12345.600, 1234.5\r\n"));
    QLocale::setDefault(before);
}

using Export = SaveFixture;

TEST_F(Export, WritesTheVisibleRowsOfTheCursorChannelTimedFromTheFirstRow)
{
    type(QStringLiteral("EXP"));
    type(QStringLiteral("early.txt"));
    EXPECT_EQ(speech.spoken.last(), QStringLiteral("Please load a file before attempting to export."));

    load(generate(QStringLiteral("night.lmd"), {"--channels", "2", "--rows", "500", "--rate", "10"}));
    writeFile(path(QStringLiteral("night.txt")), QByteArray(100000, 'x'));   // a longer old export
    viewer.chart.setCursorChannel(1);
    showRows(100, 199);
    type(QStringLiteral("EXPORT"));
    type(QString());   // named after the data file

    const QList<QByteArray> lines = readFile(path(QStringLiteral("night.txt"))).split('\n');
    ASSERT_EQ(lines.size(), 101);   // 100 lines ended by CR LF, nothing after
    EXPECT_EQ(lines[0], DelimitedExport::exportLine(10, viewer.chart.GetValue(1, 100)).chopped(1));
    EXPECT_EQ(lines[99], DelimitedExport::exportLine(19.9, viewer.chart.GetValue(1, 199)).chopped(1));
    const QString folder = QStringLiteral("In folder ") + QDir::toNativeSeparators(dir.path()) + u'.';
    EXPECT_EQ(speech.spoken.mid(speech.spoken.size() - 2), (QStringList{"File Exported Successfully", folder}));
}

TEST_F(Export, FailuresAreSpokenAndKeepTheOldExport)
{
    load(generate(QStringLiteral("night.lmd"), {"--rows", "500"}));
    viewer.actions.run(QStringLiteral("mnuExportToTabDelimitedFile"));   // before any EXPORT answer: no name
    EXPECT_TRUE(speech.spoken.last().startsWith(QLatin1String("There was an error exporting \r\n")));

    const QString target = path(QStringLiteral("old.txt"));
    viewer.exporter.openFile = [](const QString &p) { return std::make_unique<FullDiskSaveFile>(p, 5000); };
    for (const QString &answer : {QStringLiteral("old.txt"), path(QStringLiteral("missing/old.txt"))}) {
        writeFile(target, "old lines\r\n");
        type(QStringLiteral("EXPORT"));
        type(answer);
        EXPECT_EQ(readFile(target), QByteArray("old lines\r\n"));
        const QString said = speech.spoken.last();
        EXPECT_TRUE(said.startsWith(QLatin1String("There was an error exporting ")) && said.contains(answer + QLatin1String("\r\n")))
            << said.toStdString();
        EXPECT_EQ(said.endsWith(QLatin1String("\r\nThe disk is full.")), answer == QLatin1String("old.txt")) << said.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(Export, TheAutomaticNameNeverNamesTheLoadedDataFile)
{
    const QString data = generate(QStringLiteral("night.txt"), {"--rows", "50"});
    const QByteArray before = readFile(data);
    load(data);
    type(QStringLiteral("EXPORT"));
    type(QString());
    EXPECT_EQ(readFile(data), before);
    EXPECT_EQ(readFile(path(QStringLiteral("night-export.txt"))).count('\n'), 50);
    EXPECT_EQ(DelimitedExport::automaticName(QStringLiteral("/obs/a.b.lmd")), QStringLiteral("/obs/a.b.txt"));
}
