#include "save_fixture.h"
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace {

const QStringList UtFile = {"--channels", "3", "--rows", "500", "--rate", "10", "--start", "2024-03-21T21:00:00",
                            "--ut", "--local-name", "Obs.Site #2", "--author", "Jane Observer", "--location", "Hilltop",
                            "--latitude", "52.25", "--longitude", "-1.5", "--timezone", "-5", "--ymax", "3",
                            "--ymin", "-1", "--version", "LM 2.1", "--name", "0:Antenna", "--name", "1:Reference",
                            "--offset", "1:-12.5", "--notes", "Hello\\xFFworld", "--signal", "drift,noise,ramp"};

} // namespace

using ViewSave = SaveFixture;

TEST_F(ViewSave, ProposesTheDayFolderAndUtNameAndKeepsTheHeaderInMemory)
{
    setting(QStringLiteral("OrganizeByMonth"), QStringLiteral("False"));
    setting(QStringLiteral("OrganizeByDay"), QStringLiteral("True"));
    setting(QStringLiteral("PromptBeforeSaving"), QStringLiteral("False"));   // a view save asks anyway
    load(generate(QStringLiteral("in.lmd"), UtFile));
    showRows(100, 299);
    const FileHeader before = viewer.data.header;
    const QString sep = QDir::separator();
    const QString expected = QDir::toNativeSeparators(dataDir) + sep + "240321" + sep + "UT240321210010.lmd";
    surface.dialogAnswers.push_back(expected);

    viewer.actions.run(QStringLiteral("cmdSaveView"));

    ASSERT_EQ(surface.dialogs.size(), 1);
    EXPECT_EQ(surface.dialogs[0].title, QStringLiteral("Save Data File (Cancel to Abort Save)"));
    EXPECT_EQ(surface.dialogs[0].initialPath, expected);
    EXPECT_TRUE(QFileInfo(dataDir + "/Obs_Site__2").isDir());
    EXPECT_EQ(QFileInfo(expected).size(), FileHeader::Size + before.NotesLength + 200 * 4 * 8);
    EXPECT_EQ(surface.labels.value(QStringLiteral("LBLLR")), QLatin1String(" Saved ") + expected);
    EXPECT_EQ(viewer.recent.RecentSaved[0], expected);
    EXPECT_EQ(viewer.data.DataFileName, expected);
    EXPECT_EQ(settings.read(QStringLiteral("Settings"), QStringLiteral("LocalRun"), QString()), QStringLiteral("OK"));
    EXPECT_EQ(viewer.data.header.encode(), before.encode());
    EXPECT_FALSE(viewer.writer.viewSave());
}

TEST_F(ViewSave, LoadsBackBitForBitAndAShorterSaveLeavesNothingOld)
{
    load(generate(QStringLiteral("in.lmd"), UtFile));
    const DataSet original = viewer.data;
    std::vector<std::vector<double>> columns{viewer.chart.times()};
    for (int c = 0; c < 3; ++c)
        columns.push_back(viewer.chart.column(c));
    const QString copy = path(QStringLiteral("copy.lmd"));

    auto saveAndReload = [&](int first, int last) {
        showRows(first, last);
        surface.dialogAnswers.push_back(copy);
        viewer.writer.cmdSaveView();
        load(copy);
        ASSERT_TRUE(viewer.data.FileLoaded);
        ASSERT_EQ(viewer.chart.rowCount(), last - first + 1);
        for (int r = first; r <= last; ++r) {
            ASSERT_TRUE(sameBits(viewer.chart.GetTime(r - first), columns[0][size_t(r)])) << r;
            for (int c = 0; c < 3; ++c)
                ASSERT_TRUE(sameBits(viewer.chart.GetValue(c, r - first), columns[size_t(c) + 1][size_t(r)])) << r;
        }
    };

    saveAndReload(0, 499);   // the whole view, the last sample included
    const FileHeader &h = viewer.data.header, &o = original.header;
    EXPECT_EQ(h.encode(), o.encode());
    EXPECT_EQ(viewer.data.Notes, original.Notes);
    EXPECT_EQ(viewer.data.ChannelNames, original.ChannelNames);
    EXPECT_EQ(viewer.data.ChannelOffsets, original.ChannelOffsets);
    EXPECT_TRUE(viewer.data.LoggedUsingUT);

    saveAndReload(100, 199);
    EXPECT_EQ(QFileInfo(copy).size(), FileHeader::Size + o.NotesLength + 100 * 4 * 8);
    EXPECT_TRUE(sameBits(viewer.data.header.StartTime, columns[0][100]));
    EXPECT_TRUE(sameBits(viewer.data.header.EndTime, columns[0][199]));
}

using PlainSave = SaveFixture;

TEST_F(PlainSave, WritesEveryRowIntoTheMonthFolderWithoutAsking)
{
    setting(QStringLiteral("OrganizeByMonth"), QStringLiteral("True"));
    setting(QStringLiteral("OrganizeByDay"), QStringLiteral("False"));
    setting(QStringLiteral("PromptBeforeSaving"), QStringLiteral("False"));
    load(generate(QStringLiteral("in.lmd"), {"--rows", "50", "--start", "2024-03-21T21:00:00", "--local-name", "Hill"}));
    showRows(10, 20);   // a plain save ignores the view

    viewer.actions.run(QStringLiteral("mnuSave"));

    const QString expected = QDir::toNativeSeparators(dataDir + "/Hill/2403/240321210000.lmd");
    EXPECT_TRUE(surface.dialogs.isEmpty());
    EXPECT_EQ(QFileInfo(expected).size(), FileHeader::Size + viewer.data.header.NotesLength + 50 * 2 * 8);
    EXPECT_EQ(viewer.data.header.EndTime, viewer.chart.GetTime(49));
    EXPECT_EQ(viewer.recent.RecentSaved[0], expected);
}

TEST_F(PlainSave, ABareNameFromTheDialogGoesIntoTheProposedFolder)
{
    setting(QStringLiteral("OrganizeByMonth"), QStringLiteral("False"));
    setting(QStringLiteral("OrganizeByDay"), QStringLiteral("True"));
    load(generate(QStringLiteral("in.lmd"), {"--rows", "50", "--start", "2024-03-21T21:00:00"}));
    surface.dialogAnswers.push_back(QStringLiteral("tonight"));

    viewer.writer.mnuSave();

    const QString expected = QDir::toNativeSeparators(dataDir + "/240321/tonight.lmd");
    EXPECT_TRUE(QFileInfo::exists(expected));
    EXPECT_EQ(viewer.data.DataFileName, expected);
    EXPECT_FALSE(QFileInfo::exists(QDir::current().filePath(QStringLiteral("tonight.lmd"))));
}

using SaveRefused = SaveFixture;

TEST_F(SaveRefused, TooFewRowsOrCancelWriteNothing)
{
    load(generate(QStringLiteral("in.lmd"), {"--rows", "50"}));
    showRows(10, 11);   // two rows would make a file that loads as one without data
    viewer.writer.cmdSaveView();
    ASSERT_EQ(surface.boxes.size(), 1);
    EXPECT_EQ(surface.boxes[0].text, QStringLiteral("There is not enough data to save."));
    EXPECT_TRUE(surface.dialogs.isEmpty());

    showRows(10, 40);
    viewer.writer.cmdSaveView();   // no dialog answer: cancelled
    EXPECT_EQ(surface.dialogs.size(), 1);
    EXPECT_TRUE(viewer.recent.RecentSaved[0].isEmpty());
    QDirIterator files(dataDir, QDir::Files, QDirIterator::Subdirectories);
    EXPECT_FALSE(files.hasNext());
}

using SaveFails = SaveFixture;

TEST_F(SaveFails, AFolderThatCannotBeMadeIsReportedAndNothingIsSaid)
{
    writeFile(path(QStringLiteral("plain")), "not a folder");
    setting(QStringLiteral("DataDirectory"), path(QStringLiteral("plain/obs")));
    setting(QStringLiteral("PromptBeforeSaving"), QStringLiteral("False"));
    setting(QStringLiteral("AutoTitle"), QStringLiteral("True"));
    load(generate(QStringLiteral("in.lmd"), {"--rows", "50"}));
    viewer.chart.setTitle(QString());

    viewer.writer.mnuSave();

    ASSERT_EQ(surface.boxes.size(), 1);
    EXPECT_TRUE(surface.boxes[0].text.startsWith(QLatin1String("There was an error saving ") + viewer.data.DataFileName
                                                  + QLatin1String("\r\n")));
    EXPECT_TRUE(speech.spoken.last().startsWith(QLatin1String("There was an error saving ")));
    EXPECT_FALSE(surface.labels.value(QStringLiteral("LBLLR")).startsWith(QLatin1String(" Saved ")));
    EXPECT_TRUE(viewer.recent.RecentSaved[0].isEmpty());
    EXPECT_TRUE(viewer.chart.title().isEmpty());
}

TEST_F(SaveFails, AWriteErrorAnywhereLeavesTheOldFileUntouched)
{
    setting(QStringLiteral("AutoTitle"), QStringLiteral("True"));
    load(generate(QStringLiteral("in.lmd"), UtFile));
    const QString target = path(QStringLiteral("target.lmd"));
    const FileHeader before = viewer.data.header;
    const qint64 notes = before.NotesLength;
    viewer.chart.setTitle(QString());

    // Fails in the header, in the notes, in the records, and on the last record.
    for (qint64 budget : {qint64(0), qint64(FileHeader::Size + 3), FileHeader::Size + notes + 5000,
                          FileHeader::Size + notes + 500 * 32 - 1}) {
        writeFile(target, "old contents");
        viewer.writer.openFile = [budget](const QString &p) { return std::make_unique<FailingSaveFile>(p, budget); };
        surface.boxes.clear();
        surface.dialogAnswers.push_back(target);

        viewer.writer.cmdSaveView();

        EXPECT_EQ(contents(target), QByteArray("old contents")) << budget;
        ASSERT_EQ(surface.boxes.size(), 1) << budget;
        EXPECT_TRUE(surface.boxes[0].text.startsWith(QLatin1String("There was an error saving ") + target));
        EXPECT_FALSE(surface.labels.value(QStringLiteral("LBLLR")).startsWith(QLatin1String(" Saved ")));
        EXPECT_TRUE(viewer.recent.RecentSaved[0].isEmpty());
        EXPECT_EQ(viewer.data.header.encode(), before.encode());
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "no temporary file left behind";
    }
    EXPECT_TRUE(viewer.chart.title().isEmpty());

    // The same save with a working disk replaces the file and sets the automatic title.
    viewer.writer.openFile = [](const QString &p) { return std::make_unique<QSaveFile>(p); };
    surface.dialogAnswers.push_back(target);
    viewer.writer.cmdSaveView();
    EXPECT_EQ(QFileInfo(target).size(), FileHeader::Size + notes + 500 * 32);
    EXPECT_TRUE(viewer.chart.title().contains(QLatin1String("  by  Obs.Site #2  in  Hilltop")));
}
