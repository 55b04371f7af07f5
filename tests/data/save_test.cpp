#include "save_fixture.h"
#include <QDir>
#include <QFileInfo>
#include <cstring>
#include <sys/stat.h>

namespace {

const QStringList UtFile = {"--channels", "3", "--rows", "500", "--start", "2024-03-21T21:00:00", "--ut",
                            "--local-name", "Obs.Site #2", "--location", "Hilltop", "--latitude", "52.25",
                            "--timezone", "-5", "--ymax", "3", "--version", "LM 2.1", "--name", "0:Antenna",
                            "--offset", "1:-12.5", "--notes", "Hello\\xFFworld", "--signal", "drift,noise,ramp"};

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

} // namespace

using Save = SaveFixture;

TEST_F(Save, ViewSaveProposesTheDayFolderAndUtNameAndKeepsTheHeaderInMemory)
{
    setting("OrganizeByMonth", QStringLiteral("False"));
    setting("PromptBeforeSaving", QStringLiteral("False"));   // a view save asks anyway
    load(generate(QStringLiteral("in.lmd"), UtFile));
    showRows(100, 299);
    const FileHeader before = viewer.data.header;
    const QString expected = QDir::toNativeSeparators(dataDir + "/240321/UT240321210010.lmd");
    surface.dialogAnswers.push_back(expected);

    viewer.actions.run(QStringLiteral("cmdSaveView"));

    ASSERT_EQ(surface.dialogs.size(), 1);
    EXPECT_EQ(surface.dialogs[0].initialPath, expected);
    EXPECT_EQ(surface.labels.value(QStringLiteral("LBLLR")), QLatin1String(" Saved ") + expected);
    const QString folder = QStringLiteral("In folder ") + QFileInfo(expected).absolutePath() + u'.';
    EXPECT_EQ(speech.spoken.mid(speech.spoken.size() - 2), (QStringList{"Saved UT240321210010.lmd.", folder}));
    EXPECT_EQ(viewer.recent.RecentSaved[0], expected);
    EXPECT_EQ(viewer.data.header.encode(), before.encode());
}

TEST_F(Save, LoadsBackBitForBitAndAShorterSaveLeavesNothingOld)
{
    load(generate(QStringLiteral("in.lmd"), UtFile));
    const DataSet original = viewer.data;
    std::vector<SampleColumn> columns{viewer.chart.times()};
    for (int c = 0; c < 3; ++c)
        columns.push_back(viewer.chart.column(c));
    const QString copy = path(QStringLiteral("copy.lmd"));

    for (auto [first, last] : {std::pair{0, 499}, std::pair{100, 199}}) {   // full view: the last row too
        showRows(first, last);
        surface.dialogAnswers.push_back(copy);
        viewer.writer.cmdSaveView();
        load(copy);
        ASSERT_EQ(viewer.chart.rowCount(), last - first + 1);
        for (int r = first; r <= last; ++r) {
            for (int c = 0; c < 4; ++c)
                ASSERT_TRUE(sameBits(c ? viewer.chart.GetValue(c - 1, r - first) : viewer.chart.GetTime(r - first),
                                     columns[size_t(c)][size_t(r)])) << r << " " << c;
        }
        EXPECT_EQ(QFileInfo(copy).size(), FileHeader::Size + original.header.NotesLength + (last - first + 1) * 32);
        FileHeader expected = original.header;
        expected.StartTime = columns[0][size_t(first)];
        expected.EndTime = columns[0][size_t(last)];
        EXPECT_EQ(viewer.data.header.encode(), expected.encode());
        EXPECT_EQ(viewer.data.GetModifiedNotes(), original.GetModifiedNotes());
    }
}

TEST_F(Save, PlainSaveWritesEveryRowAndABareNameGoesToTheProposedFolder)
{
    setting("OrganizeByDay", QStringLiteral("False"));
    setting("PromptBeforeSaving", QStringLiteral("False"));
    load(generate(QStringLiteral("in.lmd"), {"--rows", "50", "--start", "2024-03-21T21:00:00", "--local-name", "Hill"}));
    showRows(10, 20);   // a plain save ignores the view
    viewer.actions.run(QStringLiteral("mnuSave"));
    EXPECT_TRUE(surface.dialogs.isEmpty());
    EXPECT_EQ(readFile(dataDir + "/Hill/2403/240321210000.lmd"), readFile(path(QStringLiteral("in.lmd"))));

    setting("PromptBeforeSaving", QStringLiteral("True"));
    surface.dialogAnswers.push_back(QStringLiteral("tonight"));
    viewer.writer.mnuSave();
    EXPECT_EQ(viewer.data.DataFileName, QDir::toNativeSeparators(dataDir + "/Hill/2403/tonight.lmd"));
    EXPECT_TRUE(QFileInfo::exists(viewer.data.DataFileName));
}

TEST_F(Save, TooFewRowsOrCancelWriteNothing)
{
    load(generate(QStringLiteral("in.lmd"), {"--rows", "50"}));
    showRows(10, 11);   // two rows would make a file that loads as one without data
    viewer.writer.cmdSaveView();
    ASSERT_EQ(surface.boxes.size(), 1);
    EXPECT_EQ(surface.boxes[0].text, QStringLiteral("There is not enough data to save."));

    showRows(10, 40);
    viewer.writer.cmdSaveView();   // no dialog answer: cancelled
    EXPECT_EQ(surface.dialogs.size(), 1);
    EXPECT_TRUE(viewer.recent.RecentSaved[0].isEmpty());
    EXPECT_EQ(viewer.data.DataFileName, path(QStringLiteral("in.lmd")));
}

TEST_F(Save, AnyWriteErrorLeavesTheOldFileAndIsReported)
{
    setting("AutoTitle", QStringLiteral("True"));
    writeFile(path(QStringLiteral("plain")), "not a folder");
    load(generate(QStringLiteral("in.lmd"), UtFile));
    viewer.chart.setTitle(QString());
    const FileHeader before = viewer.data.header;
    const QString target = path(QStringLiteral("target.lmd"));
    const qint64 headerAndNotes = FileHeader::Size + before.NotesLength;

    struct Case {
        QString answer;
        qint64 budget;   // bytes the disk takes
    } cases[] = {{path(QStringLiteral("plain/obs/x.lmd")), 1 << 30},   // a folder that cannot be made
                 {target, 0}, {target, FileHeader::Size + 3}, {target, headerAndNotes + 5000},
                 {target, headerAndNotes + 500 * 32 - 1}};
    for (const Case &c : cases) {
        writeFile(target, "old contents");
        viewer.writer.openFile = [&c](const QString &p) { return std::make_unique<FullDiskSaveFile>(p, c.budget); };
        surface.boxes.clear();
        surface.dialogAnswers.push_back(c.answer);

        viewer.writer.cmdSaveView();

        EXPECT_EQ(readFile(target), QByteArray("old contents")) << c.budget;
        ASSERT_EQ(surface.boxes.size(), 1) << c.budget;
        EXPECT_TRUE(surface.boxes[0].text.startsWith(QLatin1String("There was an error saving ") + c.answer + "\r\n"));
        EXPECT_EQ(surface.boxes[0].text.endsWith(QLatin1String("\r\nThe disk is full.")), c.answer == target) << c.budget;
        EXPECT_FALSE(surface.labels.value(QStringLiteral("LBLLR")).startsWith(QLatin1String(" Saved ")));
        EXPECT_TRUE(viewer.recent.RecentSaved[0].isEmpty());
        EXPECT_TRUE(viewer.chart.title().isEmpty());
        EXPECT_EQ(viewer.data.header.encode(), before.encode());
        EXPECT_EQ(viewer.data.DataFileName, path(QStringLiteral("in.lmd")));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3) << "no temporary file left behind";
    }

    viewer.writer.openFile = [](const QString &p) { return std::make_unique<QSaveFile>(p); };
    surface.dialogAnswers.push_back(target);
    viewer.writer.cmdSaveView();
    EXPECT_EQ(QFileInfo(target).size(), headerAndNotes + 500 * 32);
    EXPECT_TRUE(viewer.chart.title().endsWith(QLatin1String("  by  Obs.Site #2  in  Hilltop")));
}

TEST_F(Save, AndExportNeverReplaceADeviceOrAPipe)
{
    load(generate(QStringLiteral("in.lmd"), {"--rows", "50"}));
    const QString pipe = path(QStringLiteral("pipe.lmd"));
    ASSERT_EQ(mkfifo(qPrintable(pipe), 0600), 0);
    surface.dialogAnswers.push_back(pipe);
    viewer.writer.cmdSaveView();
    ASSERT_EQ(surface.boxes.size(), 1);
    EXPECT_EQ(surface.boxes[0].text, QStringLiteral("There was an error saving ") + pipe
                                         + QStringLiteral("\r\n 5\r\nIt is not a regular file."));
    type(QStringLiteral("EXPORT"));
    type(pipe);
    EXPECT_TRUE(speech.spoken.last().endsWith(QLatin1String("\r\nIt is not a regular file.")));
    EXPECT_FALSE(QFileInfo(pipe).isFile());
    EXPECT_TRUE(viewer.recent.RecentSaved[0].isEmpty());
}
