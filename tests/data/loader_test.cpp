#include "../../tools/lmd_writer.h"
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
    EXPECT_TRUE(d.DataReady);
    EXPECT_EQ(d.header.Author, FileHeader::fixedWidth(QStringLiteral("Jane Observer"), 20));
    EXPECT_EQ(d.header.Location, FileHeader::fixedWidth(QStringLiteral("Hilltop"), 40));
    EXPECT_EQ(d.header.Latitude, 52.25);
    EXPECT_EQ(d.header.TimeZone, -5);
    EXPECT_EQ(d.header.NumChannels, 3);

    // Byte 0xFF in the user's notes comes through as character 255.
    EXPECT_EQ(d.Notes, QStringLiteral("Hello") + Ff + QStringLiteral("world"));
    EXPECT_EQ(d.ChannelNames[0], QStringLiteral("Antenna"));
    EXPECT_EQ(d.ChannelNames[2], QStringLiteral("Ramp"));
    EXPECT_EQ(d.ChannelOffsets[0], QStringLiteral("-12.5"));
    EXPECT_TRUE(d.ChannelOffsets[1].isEmpty());
    EXPECT_TRUE(d.LoggedUsingUT);
    EXPECT_EQ(viewer.chart.timeLabelFormat(), QStringLiteral("hh:nn:ss' UT'"));
    EXPECT_EQ(viewer.chart.channelCount(), 3);
    EXPECT_EQ(viewer.chart.channelName(1), QStringLiteral("Reference"));

    // Every whole record, the last one included; the partial record at the end is ignored.
    EXPECT_EQ(d.ChannelCount, 3);
    EXPECT_EQ(viewer.chart.rowCount(), 100);
    EXPECT_EQ(d.LastIndex, 99);
    EXPECT_DOUBLE_EQ(viewer.chart.GetTime(99), Start + 99 * DayStep);
    EXPECT_DOUBLE_EQ(viewer.chart.GetValue(2, 0), 0.5);
    EXPECT_DOUBLE_EQ(viewer.chart.GetValue(2, 99), 2.0);
    EXPECT_EQ(d.header.StartTime, viewer.chart.GetTime(0));
    EXPECT_EQ(d.header.EndTime, viewer.chart.GetTime(99));
    EXPECT_NEAR(d.AvgRate, 10.0, 1e-6);

    EXPECT_TRUE(spoke(QStringLiteral("Samples Loaded:  100")));
    EXPECT_EQ(surface.labels.value(QStringLiteral("LBLLR")), QStringLiteral("Samples Loaded:  100"));
    EXPECT_EQ(surface.windowTitle, viewer.baseTitle() + QStringLiteral("  File Loaded: ") + file);
    for (const char *menu : {"mnuInfo", "mnuScan", "mnuCursor", "mnuClipSpikes", "mnuDataFileInfo",
                             "mnuExportToTabDelimitedFile"})
        EXPECT_TRUE(surface.isEnabled(QLatin1String(menu))) << menu;
    EXPECT_TRUE(surface.isVisible(QStringLiteral("cmdSaveView")));
    // The offset panel can open once there are channels to offset; the buttons are back.
    EXPECT_TRUE(surface.isEnabled(QStringLiteral("cmdOffset")));
    EXPECT_TRUE(surface.isVisible(QStringLiteral("cmdLeft")));
    EXPECT_FALSE(surface.busy);
    EXPECT_EQ(viewer.recent.RecentLoaded[0], file);
    EXPECT_EQ(d.DataFileName, file);
    EXPECT_EQ(d.LoadedFileName, file);
    EXPECT_TRUE(surface.boxes.isEmpty());
}

TEST_F(GoodFile, NotesSectionSurvivesASaveAndReload)
{
    const QString first = generate(QStringLiteral("a.lmd"), {"--channels", "2", "--rows", "10", "--name", "0:Antenna",
                                                             "--name", "1:Sky", "--offset", "1:3.5", "--notes",
                                                             "obs\\xFF"});
    load(first);
    ASSERT_TRUE(viewer.data.FileLoaded);
    const QByteArray stored = viewer.data.GetModifiedNotes().toLatin1();
    EXPECT_TRUE(stored.startsWith("obs\xFF*[[*CHL0Antenna\xFF"));

    // Write those notes into a fresh file and read them back.
    const QString second = path(QStringLiteral("b.lmd"));
    const std::vector<double> records{Start, 1, 2, Start + DayStep, 3, 4, Start + 2 * DayStep, 5, 6};
    ASSERT_TRUE(lmd::writeFile(second, lmd::headerFor(2, stored, Start, Start + 2 * DayStep), stored, records, 3));
    viewer.data.ChannelNames.fill(QString());
    viewer.data.ChannelOffsets.fill(QString());
    load(second);
    ASSERT_TRUE(viewer.data.FileLoaded);
    EXPECT_EQ(viewer.data.Notes, QStringLiteral("obs") + Ff);
    EXPECT_EQ(viewer.data.ChannelNames[1], QStringLiteral("Sky"));
    EXPECT_EQ(viewer.data.ChannelOffsets[1], QStringLiteral("3.5"));
    EXPECT_EQ(viewer.chart.rowCount(), 3);
    EXPECT_EQ(viewer.chart.GetValue(1, 2), 6.0);
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
    QFile longNotes(path(QStringLiteral("notes.txt")));
    ASSERT_TRUE(longNotes.open(QIODevice::WriteOnly));
    longNotes.write(QByteArray(40000, 'n'));
    longNotes.close();
    load(generate(QStringLiteral("long.lmd"), {"--rows", "5", "--notes-file", longNotes.fileName()}));
    ASSERT_TRUE(viewer.data.FileLoaded);
    EXPECT_EQ(viewer.data.Notes.size(), 40000);

    // Broken notes sections cost the notes, never the data.
    const struct {
        const char *raw;
        const char *notes;
        const char *name0;
    } cases[] = {
        {"just text", "", ""},
        {"x*]]*CHL0Antenna\\xFF*[[*", "", ""},
        {"obs*[[*\\xFF\\xFF\\xFF\\xFFCHL0Antenna\\xFF\\xFF*]]*tail", "obs", "Antenna"},
        {"*[[*CHL0Antenna*]]*", "", "Antenna"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.raw);
        viewer.data.ChannelNames.fill(QString());
        load(generate(QStringLiteral("raw.lmd"), {"--rows", "5", "--raw-notes", c.raw}));
        ASSERT_TRUE(viewer.data.FileLoaded);
        EXPECT_EQ(viewer.data.Notes, QLatin1String(c.notes));
        EXPECT_EQ(viewer.data.ChannelNames[0], QLatin1String(c.name0));
        EXPECT_EQ(viewer.chart.rowCount(), 5);
    }
}

TEST_F(GoodFile, BigFilesLoadAcrossReadBlocksAndRangesLoadTheirRows)
{
    const QString file = generate(QStringLiteral("ramp.lmd"), {"--rows", "20001", "--signal", "ramp", "--start", "45372.5"});
    load(file);
    ASSERT_EQ(viewer.chart.rowCount(), 20001);
    for (int row : {0, 8191, 8192, 16384, 20000}) {
        EXPECT_DOUBLE_EQ(viewer.chart.GetTime(row), Start + row * DayStep) << row;
        EXPECT_DOUBLE_EQ(viewer.chart.GetValue(0, row), 0.5 + 1.5 * (row / 20000.0)) << row;
    }
    EXPECT_TRUE(viewer.chart.timesAscending());

    int first = 10000, last = 10004;
    viewer.loader.LoadData(file, first, last);
    ASSERT_EQ(viewer.chart.rowCount(), 5);
    EXPECT_DOUBLE_EQ(viewer.chart.GetTime(0), Start + 10000 * DayStep);
    EXPECT_EQ(surface.labels.value(QStringLiteral("LBLLR")), QStringLiteral("Samples Loaded:  5 (Partial Load)"));

    // A range past the end is cut back to the last record.
    first = 19990;
    last = 50000;
    viewer.loader.LoadData(file, first, last);
    EXPECT_EQ(last, 20000);
    EXPECT_EQ(viewer.chart.rowCount(), 11);
}

namespace {

bool sameColumn(const SampleColumn &got, const SampleColumn &want, size_t from = 0)
{
    return got.size() + from <= want.size() && std::memcmp(got.data(), want.data() + from, got.size() * sizeof(double)) == 0;
}

} // namespace

TEST_F(GoodFile, ThreadedReadsMatchOneBlockAtATimeBitForBitAndAShortFileKeepsAPrefix)
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
    EXPECT_TRUE(surface.windowTitle.endsWith(QStringLiteral("  File Loaded: ") + file));

    int first = 70001, last = 250000;
    viewer.loader.LoadData(file, first, last);
    ASSERT_EQ(viewer.chart.rowCount(), last - first + 1);
    EXPECT_TRUE(sameColumn(viewer.chart.times(), want.times(), first));
    EXPECT_TRUE(sameColumn(viewer.chart.column(1), want.column(1), first));
    EXPECT_FALSE(viewer.chart.timesAscending());

    // As if the file shrank after its size was read: the rows up to the gap, none after it.
    const RecordColumns cut = readRecordColumns(raw.handle(), offset, 2, Rows + 100000, {});
    EXPECT_TRUE(cut.failed);
    EXPECT_EQ(cut.error, FileChangedWhileRead);
    EXPECT_GE(qint64(cut.times.size()), Rows / 2);
    EXPECT_LE(qint64(cut.times.size()), Rows);
    ASSERT_EQ(cut.values.size(), 2u);
    EXPECT_EQ(cut.values[1].size(), cut.times.size());
    EXPECT_TRUE(sameColumn(cut.times, want.times()));
    EXPECT_TRUE(sameColumn(cut.values[1], want.column(1)));
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
    EXPECT_EQ(viewer.recent.RecentLoaded[1], b);
}

using BadFile = LoadFixture;

TEST_F(BadFile, TooFewRecordsIsTheNoDataWarning)
{
    load(generate(QStringLiteral("three.lmd"), {"--rows", "3", "--partial-bytes", "15"}));
    EXPECT_TRUE(viewer.data.FileLoaded);
    EXPECT_EQ(viewer.chart.rowCount(), 3);

    for (const char *rows : {"2", "0"}) {
        SCOPED_TRACE(rows);
        surface.boxes.clear();
        speech.spoken.clear();
        const QString file = generate(QStringLiteral("few.lmd"), {"--rows", rows, "--partial-bytes", "15"});
        load(file);
        ASSERT_EQ(surface.boxes.size(), 1);
        EXPECT_EQ(surface.boxes[0].title, QStringLiteral("File Load Warning!"));
        EXPECT_EQ(surface.boxes[0].text, file + QStringLiteral("\r\ndoes not appear to have any data"));
        // Heard as one sentence after the exclamation mark, no stray full stop after it.
        EXPECT_TRUE(spoke(QStringLiteral("File Load Warning! ") + file + QStringLiteral(" does not appear to have any data")))
            << speech.spoken.join(u'|').toStdString();
        EXPECT_EQ(surface.boxes[0].icon, MessageIcon::Critical);
        EXPECT_TRUE(spoke(QStringLiteral("Samples Loaded:  0")));
        EXPECT_FALSE(viewer.data.FileLoaded);
        EXPECT_FALSE(viewer.data.DataReady);
        EXPECT_EQ(viewer.chart.rowCount(), 0);
        EXPECT_EQ(surface.windowTitle, viewer.baseTitle());
    }
}

TEST_F(BadFile, CorruptHeaderIsRefusedWithoutReadingOn)
{
    const QString good = generate(QStringLiteral("good.lmd"), {"--rows", "20", "--notes", "kept?"});
    const qint64 pastEnd = QFileInfo(good).size() - FileHeader::Size + 1;
    const QList<QStringList> damage = {
        {"--num-channels-field", "0"},       {"--num-channels-field", "10"},
        {"--num-channels-field", "-1"},      {"--num-channels-field", "32767"},
        {"--notes-length-field", "-5"},      {"--notes-length-field", "2147483647"},
        {"--notes-length-field", QString::number(pastEnd)},
    };
    for (const QStringList &d : damage) {
        SCOPED_TRACE(d.join(u' ').toStdString());
        surface.boxes.clear();
        const QString file = generate(QStringLiteral("bad.lmd"), QStringList{"--rows", "20", "--notes", "kept?"} + d);
        load(file);
        ASSERT_EQ(surface.boxes.size(), 1);
        EXPECT_EQ(surface.boxes[0].title, QStringLiteral("File Load Aborted"));
        EXPECT_EQ(surface.boxes[0].text,
                  QStringLiteral("The file: ") + file + QStringLiteral("\r\nIs corrupted or not a valid data file."));
        EXPECT_FALSE(viewer.data.FileLoaded);
        EXPECT_TRUE(viewer.data.Notes.isEmpty());
        EXPECT_EQ(viewer.chart.rowCount(), 0);
        EXPECT_EQ(surface.windowTitle, viewer.baseTitle());
        EXPECT_FALSE(surface.labels.value(QStringLiteral("LBLLR")).contains(QStringLiteral("Loading"))) << "status left on loading";
    }
}

TEST_F(BadFile, NineChannelsAndShortFilesGiveTheirMessages)
{
    const QString nine = generate(QStringLiteral("nine.lmd"), {"--channels", "8", "--rows", "20", "--num-channels-field", "9"});
    load(nine);
    ASSERT_EQ(surface.boxes.size(), 1);
    EXPECT_TRUE(surface.boxes[0].title.isEmpty());
    EXPECT_TRUE(surface.boxes[0].text.startsWith(QStringLiteral("There was an error loading ") + nine + QStringLiteral("\r\n")));
    EXPECT_TRUE(spoke(QStringLiteral("Samples Loaded:  0")));
    EXPECT_FALSE(viewer.data.FileLoaded);
    EXPECT_FALSE(surface.busy);

    for (const char *length : {"155", "0"}) {
        surface.boxes.clear();
        const QString file = generate(QStringLiteral("short.lmd"), {"--rows", "20", "--truncate", length});
        load(file);
        ASSERT_EQ(surface.boxes.size(), 1) << length;
        EXPECT_EQ(surface.boxes[0].title, QStringLiteral("File Load Aborted"));
        EXPECT_EQ(surface.boxes[0].text, QStringLiteral("The file: ") + file + QStringLiteral("\r\nAppears to have no data."));
        EXPECT_TRUE(viewer.data.Notes.isEmpty());
        EXPECT_FALSE(viewer.data.FileLoaded);
        EXPECT_FALSE(surface.labels.value(QStringLiteral("LBLLR")).contains(QStringLiteral("Loading"))) << length;
    }
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
    const QString file = generate(QStringLiteral("a.lmd"), {"--channels", "2", "--rows", "200000", "--start", "45372.5"});
    const QString other = generate(QStringLiteral("b.lmd"), {"--channels", "2", "--rows", "200000", "--start", "40000"});
    // Renamed over while the load runs: the readers keep to the file that was opened.
    pump.script.push_back([&] { ASSERT_TRUE(std::rename(qPrintable(other), qPrintable(file)) == 0); });
    load(file);
    ASSERT_TRUE(viewer.data.FileLoaded);
    EXPECT_EQ(viewer.chart.rowCount(), 200000);
    EXPECT_DOUBLE_EQ(viewer.chart.GetTime(0), Start);
    EXPECT_DOUBLE_EQ(viewer.chart.GetTime(199999), Start + 199999 * DayStep);

    // Cut short while it is read: the load fails and says why, and keeps nothing of it.
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

TEST_F(BadFile, EveryFailedLoadLeavesOneEmptyChannelAndNoRows)
{
    const QString good = generate(QStringLiteral("good.lmd"), {"--channels", "3", "--rows", "100"});
    const QList<QStringList> failing = {
        {"--channels", "8", "--rows", "20", "--num-channels-field", "9"},
        {"--rows", "20", "--num-channels-field", "0"},
        {"--channels", "4", "--rows", "2"},
        {"--rows", "20", "--truncate", "100"},
    };
    for (const QStringList &args : failing) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        load(good);
        ASSERT_EQ(viewer.data.LastIndex, 99);
        load(generate(QStringLiteral("bad.lmd"), args));
        EXPECT_FALSE(viewer.data.FileLoaded);
        EXPECT_FALSE(viewer.data.DataReady);
        EXPECT_EQ(viewer.data.LastIndex, 0);
        EXPECT_EQ(viewer.data.ChannelCount, 1);
        EXPECT_EQ(viewer.chart.channelCount(), 1);
        EXPECT_EQ(viewer.chart.rowCount(), 0);
        EXPECT_TRUE(viewer.data.LoadedFileName.isEmpty());
        EXPECT_FALSE(surface.isVisible(QStringLiteral("mnuCH2")));

        // The save commands of the file before still answer, and say why nothing is saved.
        for (const char *save : {"mnuSave", "cmdSaveView"}) {
            speech.spoken.clear();
            surface.dialogs.clear();
            viewer.actions.run(QLatin1String(save));
            EXPECT_EQ(speech.spoken, QStringList{QStringLiteral("No file loaded.")}) << save;
            EXPECT_TRUE(surface.dialogs.isEmpty()) << save;
        }
    }
}

TEST_F(GoodFile, TheTitleCountsTheRowsUpToAllOfThem)
{
    load(generate(QStringLiteral("count.lmd"), {"--rows", "12000"}));
    ASSERT_EQ(viewer.chart.rowCount(), 12000);
    QStringList progress;
    for (const QString &title : std::as_const(surface.titles)) {
        if (title.endsWith(QLatin1String(" Samples Loaded")))
            progress << title.mid(viewer.baseTitle().size());
    }
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last(), QStringLiteral("   12000 of  12000 Samples Loaded"));
    for (const QString &title : std::as_const(progress))
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
