#include "data/parallel_record_reader.h"
#include "load_fixture.h"
#include <QFile>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
const QString Ff = QString(QChar(0xFF));
constexpr double Start = 45372.5;
constexpr double DayStep = 1.0 / (10 * 86400.0);
} // namespace

using GoodFile = LoadFixture;

TEST_F(GoodFile, LoadsEveryWholeRecordWithHeaderNotesAndChannelTable)
{
    const QString file = generate(QStringLiteral("good.lmd"),
                                  {"--channels", "3", "--rows", "100", "--rate", "10", "--start", "45372.5", "--ut",
                                   "--name", "0:Antenna", "--name", "1:Reference", "--name", "2:Ramp",
                                   "--offset", "0:-12.5", "--notes", "Hello\\xFFworld", "--author", "Jane Observer",
                                   "--location", "Hilltop", "--latitude", "52.25", "--timezone", "-5",
                                   "--signal", "drift,noise,ramp", "--partial-bytes", "17"});
    load(file);

    const DataSet &d = viewer.data;
    EXPECT_TRUE(d.FileLoaded);
    EXPECT_EQ(d.header.Location, FileHeader::fixedWidth(QStringLiteral("Hilltop"), 40));
    EXPECT_EQ(d.header.TimeZone, -5);

    // Byte 0xFF in the user's notes comes through as character 255.
    EXPECT_EQ(d.Notes, QStringLiteral("Hello") + Ff + QStringLiteral("world"));
    EXPECT_EQ(d.ChannelOffsets[0], QStringLiteral("-12.5"));
    EXPECT_TRUE(d.ChannelOffsets[1].isEmpty());
    EXPECT_TRUE(d.LoggedUsingUT);
    EXPECT_EQ(viewer.chart.timeLabelFormat(), QStringLiteral("hh:nn:ss' UT'"));
    EXPECT_EQ(viewer.chart.channelName(1), QStringLiteral("Reference"));
    EXPECT_TRUE(viewer.chart.timesAscending());

    // Every whole record, the last one included; the partial record at the end is ignored.
    EXPECT_EQ(viewer.chart.rowCount(), 100);
    EXPECT_EQ(d.LastIndex, 99);
    EXPECT_DOUBLE_EQ(viewer.chart.GetTime(99), Start + 99 * DayStep);
    EXPECT_DOUBLE_EQ(viewer.chart.GetValue(2, 99), 2.0);
    EXPECT_EQ(d.header.EndTime, viewer.chart.GetTime(99));
    EXPECT_NEAR(d.AvgRate, 10.0, 1e-6);

    EXPECT_EQ(surface.labels.value(QStringLiteral("LBLLR")), QStringLiteral("Samples Loaded:  100"));
    EXPECT_EQ(surface.windowTitle, viewer.baseTitle() + QStringLiteral("  File Loaded: ") + file);
    for (const char *menu : {"mnuScan", "mnuExportToTabDelimitedFile", "cmdOffset"})
        EXPECT_TRUE(surface.isEnabled(QLatin1String(menu))) << menu;
    EXPECT_FALSE(surface.busy);
    EXPECT_EQ(viewer.recent.RecentLoaded[0], file);
    EXPECT_EQ(d.LoadedFileName, file);
}

TEST_F(GoodFile, OddValuesAndNotesLoadWithoutHarm)
{
    const QString odd = generate(QStringLiteral("odd.lmd"),
                                 {"--rows", "50", "--set-value", "0:0:nan", "--set-value", "10:0:nan", "--set-value", "11:0:inf",
                                  "--set-value", "12:0:-inf", "--set-time", "20:45000"});
    load(odd);
    ASSERT_TRUE(viewer.data.FileLoaded);
    EXPECT_EQ(viewer.chart.rowCount(), 50);
    EXPECT_TRUE(std::isnan(viewer.chart.GetValue(0, 10)));
    EXPECT_EQ(viewer.chart.GetValue(0, 12), -INFINITY);
    EXPECT_FALSE(viewer.chart.timesAscending());
    // One NaN, even the first, leaves the channel's range known.
    EXPECT_DOUBLE_EQ(viewer.chart.channelMin(0), -INFINITY);
    EXPECT_DOUBLE_EQ(viewer.chart.channelMax(0), INFINITY);

    // Long notes have no 16-bit limit.
    writeFile(path(QStringLiteral("notes.txt")), QByteArray(40000, 'n'));
    load(generate(QStringLiteral("long.lmd"), {"--rows", "5", "--notes-file", path(QStringLiteral("notes.txt"))}));
    ASSERT_TRUE(viewer.data.FileLoaded);
    EXPECT_EQ(viewer.data.Notes.size(), 40000);

    // A broken notes section costs the notes, never the data (its rules: notes_section_test).
    load(generate(QStringLiteral("raw.lmd"), {"--rows", "5", "--raw-notes", "x*]]*CHL0Antenna\\xFF*[[*"}));
    EXPECT_TRUE(viewer.data.Notes.isEmpty());
    EXPECT_EQ(viewer.chart.rowCount(), 5);
}

namespace {

bool sameColumn(const SampleColumn &got, const SampleColumn &want, size_t from = 0)
{
    return got.size() + from <= want.size() && std::memcmp(got.data(), want.data() + from, got.size() * sizeof(double)) == 0;
}

} // namespace

TEST_F(GoodFile, ThreadedReadsMatchOneBlockAtATimeBitForBitAndAShortFileFails)
{
    // Big enough to be shared between threads; row 131072 starts a part for 2 or 4 threads, and
    // stepping back there is seen only across the parts' boundary.
    constexpr int Rows = 262144;
    const QString file = generate(QStringLiteral("big.lmd"), {"--channels", "2", "--rows", QString::number(Rows),
                                                              "--set-time", "131072:45000", "--set-value", "5:1:nan"});
    QFile raw(file);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    const qint64 offset = FileHeader::Size + FileHeader::decode(bytes.constData()).NotesLength;
    StripChartModel want;
    want.AddChannel(QString(), 0);
    want.AddChannel(QString(), 0);
    want.appendRecords(reinterpret_cast<const double *>(bytes.constData() + offset), Rows);
    ASSERT_FALSE(want.timesAscending());

    load(file);
    ASSERT_EQ(viewer.chart.rowCount(), Rows);
    EXPECT_TRUE(sameColumn(viewer.chart.times(), want.times()));
    EXPECT_TRUE(sameColumn(viewer.chart.column(0), want.column(0)));
    EXPECT_TRUE(sameColumn(viewer.chart.column(1), want.column(1)));
    EXPECT_FALSE(viewer.chart.timesAscending());

    int first = 70001, last = 250000;
    viewer.loader.LoadData(file, first, last);
    ASSERT_EQ(viewer.chart.rowCount(), last - first + 1);
    EXPECT_TRUE(sameColumn(viewer.chart.times(), want.times(), first));
    EXPECT_TRUE(sameColumn(viewer.chart.column(1), want.column(1), first));
    EXPECT_FALSE(viewer.chart.timesAscending());
    EXPECT_EQ(surface.labels.value(QStringLiteral("LBLLR")), QStringLiteral("Samples Loaded:  180000 (Partial Load)"));
    // A range past the end is cut back to the last record.
    first = Rows - 11;
    last = Rows + 5;
    viewer.loader.LoadData(file, first, last);
    EXPECT_EQ(last, Rows - 1);
    EXPECT_EQ(viewer.chart.rowCount(), 11);

    // As if the file shrank after its size was read: a later part's failure fails the read.
    const RecordColumns cut = readRecordColumns(raw.handle(), offset, 2, Rows + 100000, {});
    EXPECT_TRUE(cut.failed);
    EXPECT_EQ(cut.error, FileChangedWhileRead);
}

TEST_F(GoodFile, LoadingAnEarlierFileAgainAnnouncesItAndMakesItTheLastFile)
{
    const QString a = generate(QStringLiteral("a.lmd"), {"--rows", "20"});
    const QString b = generate(QStringLiteral("b.lmd"), {"--rows", "20"});
    load(a);
    load(b);
    speech.spoken.clear();
    load(a);
    EXPECT_TRUE(spoke(QStringLiteral("File Name a.lmd")));
    EXPECT_FALSE(spoke(QStringLiteral("File Name b.lmd")));
    EXPECT_EQ(viewer.recent.RecentLoaded[0], a);
}

using BadFile = LoadFixture;

// Each refusal says why, and leaves one empty channel and no rows of the 3-channel file before.
TEST_F(BadFile, EachRefusalGivesItsOwnMessageAndLeavesNothingOfTheFileBefore)
{
    const QString good = generate(QStringLiteral("good.lmd"), {"--channels", "3", "--rows", "100"});
    load(generate(QStringLiteral("three.lmd"), {"--rows", "3", "--partial-bytes", "15"}));
    EXPECT_EQ(viewer.chart.rowCount(), 3);   // three records are data enough

    const qint64 pastEnd = QFileInfo(generate(QStringLiteral("kept.lmd"), {"--rows", "20", "--notes", "kept?"})).size()
                           - FileHeader::Size + 1;
    const QString warning = QStringLiteral("File Load Warning!"), aborted = QStringLiteral("File Load Aborted");
    const QString noData = QStringLiteral("\r\ndoes not appear to have any data"),
                  corrupt = QStringLiteral("\r\nIs corrupted or not a valid data file."),
                  empty = QStringLiteral("\r\nAppears to have no data."), file = QStringLiteral("The file: ");
    const struct {
        QStringList args;
        QString title, before, after;   // the text is before + file name + after
    } cases[] = {
        {{"--rows", "2", "--partial-bytes", "15"}, warning, {}, noData},
        {{"--rows", "0"}, warning, {}, noData},
        {{"--num-channels-field", "0"}, aborted, file, corrupt},
        {{"--num-channels-field", "10"}, aborted, file, corrupt},
        {{"--notes-length-field", "-5"}, aborted, file, corrupt},
        {{"--notes-length-field", QString::number(pastEnd)}, aborted, file, corrupt},
        {{"--truncate", "155"}, aborted, file, empty},
        {{"--truncate", "0"}, aborted, file, empty},
        {{"--channels", "8", "--num-channels-field", "9"}, {}, QStringLiteral("There was an error loading "), QStringLiteral("\r\n")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        load(good);
        ASSERT_EQ(viewer.data.LastIndex, 99);
        surface.boxes.clear();
        speech.spoken.clear();
        const QString bad = generate(QStringLiteral("bad.lmd"), QStringList{"--rows", "20", "--notes", "kept?"} + c.args);
        load(bad);
        ASSERT_EQ(surface.boxes.size(), 1);
        EXPECT_EQ(surface.boxes[0].title, c.title);
        const QString text = c.before + bad + c.after;
        EXPECT_TRUE(c.title.isEmpty() ? surface.boxes[0].text.startsWith(text) : surface.boxes[0].text == text)
            << surface.boxes[0].text.toStdString();
        if (c.title == aborted)
            EXPECT_TRUE(viewer.data.Notes.isEmpty());
        else
            EXPECT_TRUE(spoke(QStringLiteral("Samples Loaded:  0")));
        if (c.title == warning)
            EXPECT_EQ(surface.boxes[0].icon, MessageIcon::Critical);
        EXPECT_FALSE(surface.labels.value(QStringLiteral("LBLLR")).contains(QStringLiteral("Loading")));
        EXPECT_FALSE(surface.busy);
        EXPECT_EQ(surface.windowTitle, viewer.baseTitle());
        EXPECT_FALSE(viewer.data.FileLoaded || viewer.data.DataReady);
        EXPECT_EQ(viewer.data.LastIndex, 0);
        EXPECT_EQ(viewer.data.ChannelCount, 1);
        EXPECT_EQ(viewer.chart.channelCount(), 1);
        EXPECT_EQ(viewer.chart.rowCount(), 0);
        EXPECT_TRUE(viewer.data.LoadedFileName.isEmpty());
        EXPECT_FALSE(surface.isVisible(QStringLiteral("mnuCH2")));
    }
    // The save commands of the file before still answer, and say why nothing is saved.
    for (const char *save : {"mnuSave", "cmdSaveView"}) {
        speech.spoken.clear();
        surface.dialogs.clear();
        viewer.actions.run(QLatin1String(save));
        EXPECT_EQ(speech.spoken, QStringList{QStringLiteral("No file loaded.")}) << save;
        EXPECT_TRUE(surface.dialogs.isEmpty()) << save;
    }
    // Heard as one sentence after the exclamation mark, no stray full stop after it.
    load(generate(QStringLiteral("few.lmd"), {"--rows", "1"}));
    EXPECT_TRUE(spoke(QStringLiteral("File Load Warning! ") + path(QStringLiteral("few.lmd"))
                      + QStringLiteral(" does not appear to have any data")));
}

TEST_F(BadFile, PathsThatAreNoFileChangeNothing)
{
    const QString good = generate(QStringLiteral("good.lmd"), {"--rows", "20"});
    load(good);
    ASSERT_TRUE(viewer.data.FileLoaded);
    speech.spoken.clear();

    QStringList paths{QString(), dir.path(), path(QStringLiteral("missing.lmd"))};
    QFile locked(path(QStringLiteral("locked.lmd")));
    QFile::copy(good, locked.fileName());
    locked.setPermissions(QFileDevice::Permissions());
    if (!QFile(locked.fileName()).open(QIODevice::ReadOnly))   // root reads it anyway
        paths << locked.fileName();

    for (const QString &p : paths) {
        SCOPED_TRACE(p.toStdString());
        load(p);
        EXPECT_EQ(speech.spoken.last(), p + QStringLiteral(" not found in current directory."));
        EXPECT_TRUE(viewer.data.FileLoaded);
        EXPECT_EQ(viewer.data.DataFileName, good);
        EXPECT_EQ(viewer.chart.rowCount(), 20);
        EXPECT_TRUE(surface.boxes.isEmpty());
    }
}

TEST_F(BadFile, AFileReplacedOrCutDuringTheLoadLoadsTheOpenedFileOrFailsEmpty)
{
    const QString file = generate(QStringLiteral("a.lmd"), {"--channels", "2", "--rows", "2000", "--start", "45372.5"});
    const QString other = generate(QStringLiteral("b.lmd"), {"--channels", "2", "--rows", "2000", "--start", "40000"});
    // Renamed over, or cut short, once the file is open (the first pump): the load keeps to the
    // file that was opened, or fails and keeps nothing of it.
    pump.script.push_back([&] { ASSERT_TRUE(std::rename(qPrintable(other), qPrintable(file)) == 0); });
    load(file);
    ASSERT_TRUE(viewer.data.FileLoaded);
    EXPECT_EQ(viewer.chart.rowCount(), 2000);
    EXPECT_DOUBLE_EQ(viewer.chart.GetTime(1999), Start + 1999 * DayStep);

    const qint64 cutTo = QFileInfo(file).size() / 2;
    pump.script.push_back([&] { ASSERT_TRUE(QFile::resize(file, cutTo)); });
    load(file);
    ASSERT_EQ(surface.boxes.size(), 1);
    EXPECT_EQ(surface.boxes[0].text, QStringLiteral("There was an error loading ") + file
                                         + QStringLiteral("\r\nThe file changed while it was being read."));
    EXPECT_FALSE(viewer.data.FileLoaded);
    EXPECT_EQ(viewer.chart.rowCount(), 0);
    EXPECT_EQ(viewer.data.LastIndex, 0);
    EXPECT_TRUE(spoke(QStringLiteral("Samples Loaded:  0")));
}

TEST_F(GoodFile, TheTitleCountsTheRowsUpToAllOfThem)
{
    load(generate(QStringLiteral("count.lmd"), {"--rows", "12000"}));
    ASSERT_EQ(viewer.chart.rowCount(), 12000);
    const QStringList progress = surface.titles.filter(QStringLiteral(" Samples Loaded"));
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last(), viewer.baseTitle() + QStringLiteral("   12000 of  12000 Samples Loaded"));
    for (const QString &title : progress)
        EXPECT_TRUE(title.endsWith(QLatin1String(" of  12000 Samples Loaded"))) << title.toStdString();
}

TEST_F(BadFile, AFileLargerThanMemoryIsRefusedBeforeAnythingIsAllocated)
{
    const QString file = generate(QStringLiteral("big.lmd"), {"--channels", "2", "--rows", "1000"});
    qint64 asked = 0;
    viewer.loader.availableMemory = [&] { return asked = 1000 * 24 - 1; };
    load(file);
    EXPECT_GT(asked, 0);
    ASSERT_EQ(surface.boxes.size(), 1);
    EXPECT_EQ(surface.boxes[0].text, QStringLiteral("There was an error loading ") + file
                                         + QStringLiteral("\r\nThere is not enough memory to load 1000 records."));
    EXPECT_EQ(viewer.chart.rowCount(), 0);

    viewer.loader.availableMemory = [] { return 1000 * 24; };
    load(file);
    EXPECT_TRUE(viewer.data.FileLoaded);
}
