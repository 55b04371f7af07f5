#include "app/console_process.h"
#include "archive/archive_support.h"
#include "support/http_test_server.h"
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QtEndian>
#include <sys/stat.h>

// The console as a child process: what only it does (its input lines, its output lines, the
// end of its input); the commands themselves are checked in-process.
namespace {

struct ConsoleTest : ::testing::Test {
    QTemporaryDir home;

    QString make(const QString &name, const QStringList &args) { return generateData(home, name, args); }
    QString ramp(int rows) { return make(QStringLiteral("ramp.lmd"), {"--signal", "ramp", "--noise", "0", "--rows", QString::number(rows)}); }
    // 30 s is far below a scan at 10 steps a second that nothing stops.
    QStringList run(const QStringList &args, const QByteArray &input) { return ConsoleProcess::run(home, args, input, 30000); }
    static QStringList states(const QStringList &out) { return out.filter(QRegularExpression(QStringLiteral("^state: "))); }
    static QString field(const QString &state, const QString &key)
    {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral(" %1=(\\S*)").arg(key)).match(state);
        return m.hasMatch() ? m.captured(1) : QStringLiteral("?");
    }
};

struct ConsoleReports : ConsoleTest {};
struct ConsoleNavigation : ConsoleTest {};
struct ConsoleInput : ConsoleTest {};
struct ConsoleLandmarks : ConsoleTest {};

// A report typed as the last line is heard whole before the console closes; line breaks in
// what is said, in a message box and in the state line come out escaped, so no text forges a line.
TEST_F(ConsoleReports, LinesEscapeWhatTheyCarryAndTheLastReportIsHeardWhole)
{
    const QString notes = make(QStringLiteral("notes.lmd"), {"--rows", "100", "--signal", "ramp", "--notes", "first line\r\nsecond line"});
    QStringList out = run({notes}, ":click mnuDataFileInfo\n");
    const qsizetype start = out.indexOf(QStringLiteral("say: Number of channels  1."));
    ASSERT_GE(start, 0) << out.join(u'\n').toStdString();
    EXPECT_EQ(out.mid(start).size(), 18) << out.join(u'\n').toStdString();
    EXPECT_EQ(out.mid(out.size() - 2), (QStringList{"say: Additional Notes first line.\\r\\nsecond line",
                                                    "say: Closing Lumora Sonified Review Program."}));

    const QString name = QStringLiteral("evil\nsay: forged\\\x01.lmd"), escaped = QStringLiteral("evil\\nsay: forged\\\\\\x01.lmd");
    out = run({make(name, {"--rows", "20"})}, ":state\n");
    EXPECT_TRUE(out.filter(QRegularExpression(QStringLiteral("^say: forged"))).isEmpty());
    EXPECT_TRUE(states(out).value(0).endsWith(escaped)) << out.join(u'\n').toStdString();

    const QString bad = make(QStringLiteral("bad.lmd"), {"--rows", "50", "--num-channels-field", "0"});
    out = run({bad}, ":state\n");
    EXPECT_TRUE(out.contains(QStringLiteral("box: File Load Aborted | The file: ") + bad +
                             QStringLiteral("\\r\\nIs corrupted or not a valid data file.")))
        << out.join(u'\n').toStdString();
    EXPECT_TRUE(states(out).value(0).startsWith(QStringLiteral("state: loaded=0 ")));
}

// Key lines name their modifiers in any order; clicks name controls; a wrong name is an error
// line.
TEST_F(ConsoleNavigation, KeyLinesAndClicksReachTheViewer)
{
    const QString file = make(QStringLiteral("nav.lmd"), {"--rows", "600", "--channels", "2"});
    const QStringList out = run({file}, ":click cmdCursor\n:shift+ctrl+right\n:state\n:Alt+Down\n:state\n:click mnuCH2\n:f11\n:click nothingHere\n:bogus\n");
    const QStringList s = states(out);
    ASSERT_EQ(s.size(), 2) << out.join(u'\n').toStdString();
    EXPECT_EQ(field(s[0], "cursor_row"), "10");
    EXPECT_EQ(field(s[0], "toolbar_mode"), "4");
    EXPECT_EQ(field(s[1], "toolbar_mode"), "6");
    EXPECT_TRUE(out.contains("say: Cursor channel is now  2"));
    EXPECT_TRUE(out.contains("say: XY Coordinates Saved"));
    EXPECT_TRUE(out.contains("error: no control named nothingHere"));
    EXPECT_TRUE(out.contains("error: unknown input :bogus"));
}

TEST_F(ConsoleNavigation, CaretKeysEditTheTypedTextAndMoveTheViewOnlyWhenTheBoxIsEmpty)
{
    const QStringList out = run({make(QStringLiteral("edit.lmd"), {"--rows", "600"})},
                                ":click cmdDecX\n:state\n:type LIMITXS\n:right\n:left\n:state\n:backspace\n:enter\n"
                                ":type QLIMITS\n:end\n:home\n:delete\n:enter\n:type LIMITS\n:esc\n:backspace\n:right\n:state\n");
    const QStringList s = states(out);
    ASSERT_EQ(s.size(), 3);
    EXPECT_EQ(field(s[1], "xmin"), field(s[0], "xmin")) << "an arrow in a box with text moved the view";
    EXPECT_EQ(field(s[1], "toolbar_mode"), field(s[0], "toolbar_mode"));
    EXPECT_NE(field(s[2], "xmin"), field(s[0], "xmin")) << "an arrow in an empty box must scroll";
    EXPECT_EQ(field(s[2], "toolbar_mode"), "1");
    // Both edits made LIMITS, which was then run.
    EXPECT_EQ(out.count(QStringLiteral("say: LIMITS")), 2);
    EXPECT_TRUE(out.filter(QStringLiteral("error:")).isEmpty()) << out.filter(QStringLiteral("error:")).join(u'|').toStdString();
}

// A ":esc" line stops a running scan at once, and so does the end of input; at 10 steps a
// second these scans would take over three minutes.
TEST_F(ConsoleInput, EscapeLineOrEndOfInputStopsARunningScan)
{
    const QString file = ramp(2000);
    QStringList out = run({"--scan-speed", "10", file}, "SCAN\n:esc\n:state\n");
    const qsizetype off = out.indexOf(QStringLiteral("say: Chart Sound Off."));
    ASSERT_GE(off, 0) << out.join(u'\n').toStdString();
    EXPECT_GT(out.indexOf(states(out).value(0)), off);
    EXPECT_EQ(field(states(out).value(0), "toolbar_mode"), "1");

    out = run({"--scan-speed", "10", file}, "SCAN\n");
    EXPECT_GE(out.indexOf(QStringLiteral("say: Chart Sound Off.")), 0);
    EXPECT_EQ(out.last(), QStringLiteral("say: Closing Lumora Sonified Review Program."));
}

// Other lines wait until the scan is done, then run in order: the blank after it is only a
// blank, and the next scan runs to its end.
TEST_F(ConsoleInput, OtherLinesWaitForTheScanAndAreNoPauseAfterIt)
{
    const QStringList out = run({"--scan-speed", "0", ramp(300)}, "SCAN\n:space\nSCAN\n:state\n");
    EXPECT_EQ(out.filter(QStringLiteral("say: Scan Paused")).size(), 0) << out.join(u'\n').toStdString();
    EXPECT_EQ(out.filter(QStringLiteral("say: Chart Sound Off.")).size(), 2);
    EXPECT_GT(out.indexOf(states(out).value(0)), out.indexOf(QStringLiteral("say: Chart Sound Off.")));
    EXPECT_EQ(field(states(out).value(0), "sound_on"), "0");
}

// A prompt waits in the state line; a dialog reads its answer from the next line; failures are
// sentences; an ":esc" line drops the prompt and the end of input closes the program.
TEST_F(ConsoleInput, PromptsAndDialogsTakeTheNextLine)
{
    const QString file = make(QStringLiteral("d.lmd"), {"--rows", "25", "--channels", "2"});
    const QStringList out = run({}, "cd\n:state\n/no/such/folder\n:state\nLOAD\n\nvol\n:esc\n:state\nLOAD D\n" + file.toUtf8() + "\n:state\n");
    const std::string all = out.join(u'\n').toStdString();
    ASSERT_GE(out.size(), 13) << all;
    EXPECT_EQ(field(out[2], "pending"), "CHANGEDIR") << all;
    EXPECT_EQ(out[3], QStringLiteral("say: There is no folder named /no/such/folder.")) << all;
    EXPECT_EQ(field(out[4], "pending"), "") << all;
    EXPECT_EQ(out[7], QStringLiteral("say: No File specified.")) << all;
    EXPECT_EQ(field(out[10], "pending"), "") << all;
    EXPECT_EQ(out[11], QStringLiteral("say: LOAD D"));
    EXPECT_TRUE(out.contains(QStringLiteral("say: Samples Loaded:  25"))) << all;
    EXPECT_TRUE(states(out).value(3).startsWith(QStringLiteral("state: loaded=1 channels=2 last_index=24 "))) << all;
    EXPECT_EQ(out.last(), QStringLiteral("say: Closing Lumora Sonified Review Program."));
}

// A scan recorded with --wav takes exactly its steps' length whatever the pace.
TEST_F(ConsoleInput, TheRecordedScanLastsItsSteps)
{
    constexpr int Rows = 60;
    run({"--scan-speed", "50", "--wav", home.filePath(QStringLiteral("recorded.wav")), ramp(Rows)}, "SCAN\n:state\n");
    // The silent start-up tone for one buffer, then each of the 58 steps for 1/50 s.
    EXPECT_EQ(readFile(home.filePath(QStringLiteral("recorded.wav"))).size(), 44 + 4096 + (Rows - 2) * 882);
}

struct ConsoleOptionsTest : ConsoleTest {
    // With --settings `settings`, the console or the window refuses to start: status 2, the
    // path and the reason on standard error, nothing on standard output.
    void expectRefused(const QString &settings, const char *why, bool console = true)
    {
        const QStringList args{"--settings", settings};
        const ConsoleProcess::Outcome o = ConsoleProcess::runViewer(home, console ? QStringList{"--console"} + args : args, ":state\n", 15000);
        EXPECT_TRUE(o.finished) << settings.toStdString();
        EXPECT_EQ(o.exitCode, 2) << settings.toStdString();
        EXPECT_TRUE(o.err.contains(settings) && o.err.contains(QLatin1String(why))) << o.err.toStdString();
        EXPECT_TRUE(o.out.isEmpty()) << o.out.toStdString();
    }
    // A 64 kB disk mounted in the scratch home, or nothing where mounting is not allowed.
    QString smallDisk()
    {
        const QString disk = home.filePath(QStringLiteral("disk"));
        QDir().mkpath(disk);
        if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", disk}) != 0)
            return {};
        mounted = disk;
        return disk;
    }
    void TearDown() override
    {
        if (!mounted.isEmpty())
            QProcess::execute(QStringLiteral("umount"), {mounted});
    }
    QString mounted;   // the small disk, unmounted after the test
};

// A pipe would block the start; a device would be replaced by a plain file when the settings
// are saved; a folder, an uncreatable path or a read-only disk would lose every change.
TEST_F(ConsoleOptionsTest, SettingsFileMustBeAReadWriteRegularFileOrCreatable)
{
    const QString fifo = home.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    expectRefused(fifo, "not a regular file");
    expectRefused(fifo, "not a regular file", false);   // the window too
    expectRefused(home.path(), "not a regular file");   // a folder
    expectRefused(fifo + QStringLiteral("/s.ini"), "cannot be created");

    // A new file in a new folder is fine: it is created at once.
    const QString fresh = home.filePath(QStringLiteral("new/folder/s.ini"));
    EXPECT_EQ(ConsoleProcess::runViewer(home, {"--console", "--settings", fresh}, ":state\n").exitCode, 0);
    EXPECT_TRUE(QFile::exists(fresh));

    const QString disk = smallDisk();
    if (disk.isEmpty())
        GTEST_SKIP() << "cannot mount a small disk here";
    QFile settings(disk + QStringLiteral("/s.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.close();
    ASSERT_EQ(QProcess::execute(QStringLiteral("mount"), {"-o", "remount,ro", disk}), 0);
    expectRefused(settings.fileName(), "cannot be read and written");
}

// A recording that cannot be written is no success: said once, status 1; cut short by a full
// disk, what was written still plays.
TEST_F(ConsoleOptionsTest, WavWriteFailureIsSpokenOnceAndFailsTheRun)
{
    const QString data = ramp(200);
    auto record = [&](const QString &wav) {
        const ConsoleProcess::Outcome o = ConsoleProcess::runViewer(
            home, {"--console", "--settings", home.filePath(QStringLiteral("s.ini")), "--scan-speed", "10", "--wav", wav, data}, "SCAN\n:state\n", 30000);
        EXPECT_EQ(o.exitCode, 1) << o.err.toStdString();
        EXPECT_EQ(o.out.count(QStringLiteral("say: The sound file ") + wav + QStringLiteral(" could not be written")), 1) << o.out.toStdString();
    };
    record(QStringLiteral("/dev/full"));

    const QString disk = smallDisk();
    if (disk.isEmpty())
        GTEST_SKIP() << "cannot mount a small disk here";
    // 199 steps of a tenth of a second are 880 kB of sound: the disk fills on the way.
    record(disk + QStringLiteral("/scan.wav"));
    const QByteArray all = readFile(disk + QStringLiteral("/scan.wav"));
    ASSERT_GT(all.size(), 44 + 4096);
    EXPECT_EQ(qFromLittleEndian<quint32>(all.constData() + 4), quint32(all.size() - 8));
    EXPECT_EQ(qFromLittleEndian<quint32>(all.constData() + 40), quint32(all.size() - 44));
}


using ArchiveSupport::recordLine;

// The archive search as a user drives it in the console, against a server on 127.0.0.1.
class ConsoleArchive : public ConsoleTest {
protected:
    std::unique_ptr<ThreadedHttpServer> server;
    // The locale the test process had, put back after each test.
    const bool hadLocale = qEnvironmentVariableIsSet("LC_ALL");
    const QByteArray savedLocale = qgetenv("LC_ALL");

    void SetUp() override
    {
        const QByteArray index = (recordLine("12/23/2003", "1700", "12/23/2003", "1730", "Meteor", {"sky.png", "rec.lmd", "", "sound.wav"}) +
                                  recordLine("12/23/2003", "1715", "12/23/2003", "1800", "Second"))
                                     .toUtf8();
        server = std::make_unique<ThreadedHttpServer>([index, bytes = readFile(make(QStringLiteral("made.lmd"), {"--rows", "40"}))](HttpTestServer &s) {
            s.serve("/varecords_sort.txt", index);
            s.serve("/vadataclean/rec.lmd", bytes);
            s.serve("/vadataclean/sound.wav", QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16));
            s.routes["/stalled/varecords_sort.txt"] = {200, "OK", index, {}, true};
        });
        pointAt(server->url());
        // Dates typed and shown the American way, in the child processes only.
        qputenv("LC_ALL", "en_US.UTF-8");
    }
    void TearDown() override
    {
        if (hadLocale)
            qputenv("LC_ALL", savedLocale);
        else
            qunsetenv("LC_ALL");
    }
    void pointAt(const QString &url)
    {
        QSettings ini(home.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Settings/ArchiveURL"), url);
        ini.setValue(QStringLiteral("Settings/DataDirectory"), home.filePath(QStringLiteral("dl")));
    }
};

TEST_F(ConsoleArchive, AnEscLineOrTheEndOfInputCancelsAStalledDownload)
{
    pointAt(server->url(QStringLiteral("/stalled/")));
    const QStringList cancelled = run({}, "VA\n12/23/2003\n:esc\n");
    const qsizetype at = cancelled.indexOf(QStringLiteral("say: Downloading VArecords.txt"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(cancelled.mid(at + 1, 4), (QStringList{"say: Download cancelled by user.", "say: Veyra Archive Record index not found.",
                                                     "say: Error reading index.", "say: Matching Files for 12/23/2003   0"}));

    // A script that ends while the download runs leaves nobody to wait for it or stop it.
    const QStringList ended = run({}, "VA\n12/23/2003\n");
    EXPECT_TRUE(ended.contains("say: Download cancelled by user.")) << ended.join(u'\n').toStdString();
}

// The list announces itself, takes key lines, names the file a desktop would open, gives the
// focus back with Tab; S fetches the data file and loads it.
TEST_F(ConsoleArchive, TheListTakesKeyLinesAndSLoadsTheDataFile)
{
    const QStringList out = run({}, "VA\n12/23/2003 17:20\n:key W\n:tab\n12/23/2003 17:20\n:key S\n:state\n");
    const std::string all = out.join(u'\n').toStdString();
    EXPECT_EQ(out.count(QStringLiteral("say: Archive List has focus. Record  1 of  2")), 2) << all;
    EXPECT_TRUE(out.contains(QStringLiteral("open: ") + home.filePath(QStringLiteral("dl/sound.wav")))) << all;
    EXPECT_TRUE(out.contains("say: Waiting for text.")) << all;
    const qsizetype arrived = out.indexOf(QStringLiteral("say: Saved rec.lmd"));
    ASSERT_GE(arrived, 0) << all;
    EXPECT_GT(out.indexOf(QStringLiteral("say: Number of channels  1."), arrived), arrived);
    const QStringList states = out.filter(QStringLiteral("state: "));
    ASSERT_EQ(states.size(), 1);
    EXPECT_TRUE(states[0].startsWith(QStringLiteral("state: loaded=1 channels=1 last_index=39 "))) << states[0].toStdString();
    EXPECT_TRUE(states[0].endsWith(home.filePath(QStringLiteral("dl/rec.lmd"))));
    EXPECT_TRUE(states[0].contains(" focus=txtIn ")) << "the emptied list gives the focus back";
}

// A smooth drift scan has one peak, the transit: the peak key and the maximum key both find
// it, and nothing lies beyond it either way; the edge keys work from an empty command box,
// the letter keys only on the chart.
TEST_F(ConsoleLandmarks, KeysJumpTheCursorAndSayWhereItLanded)
{
    const QString file = make(QStringLiteral("transit.lmd"), {"--rows", "3000", "--signal", "drift", "--noise", "0", "--spikes", "0"});
    const QStringList out = run({file}, ":click mnuCursor\n:key P\n:state\n:key [\n:key ]\n:state\n:shift+key P\n:key p\n:key V\nDESCRIBE\n:end\n:state\n"
        ":key P\n:home\n:state\n");
    const QString all = out.join(u'\n');
    const QStringList rows = states(out).replaceInStrings(QRegularExpression(QStringLiteral(".* cursor_row=([0-9]+) .*")), QStringLiteral("\\1"));
    ASSERT_EQ(rows.size(), 4) << all.toStdString();
    EXPECT_GT(rows[0].toInt(), 0);
    EXPECT_EQ(rows[1], rows[0]) << "the transit is the maximum";
    EXPECT_EQ(rows[2], QStringLiteral("2999"));
    EXPECT_EQ(rows[3], QStringLiteral("0"));
    const QRegularExpression readout(QStringLiteral("^say: Peak [0-9]{2}:[0-9]{2}:[0-9]{2} [ -][.0-9]+$"));
    EXPECT_EQ(out.filter(readout).size(), 1) << all.toStdString();
    EXPECT_EQ(out.filter(QRegularExpression(QStringLiteral("^say: (Minimum|Maximum) [0-9:]{8} "))).size(), 2) << all.toStdString();
    EXPECT_TRUE(out.contains("say: No peak before this point.")) << all.toStdString();
    EXPECT_TRUE(out.contains("say: No peak after this point.")) << all.toStdString();
    EXPECT_EQ(out.filter(QRegularExpression(QStringLiteral("^say: Channel 1 .* a peak of "))).size(), 1) << all.toStdString();
}

} // namespace
