#include "app/console_process.h"
#include "archive/archive_support.h"
#include "support/http_test_server.h"
#include <QFile>
#include <QSettings>

namespace {

using ArchiveSupport::recordLine;

// The archive search as a user drives it in the console, against a server on 127.0.0.1.
class ConsoleArchive : public ::testing::Test {
protected:
    QTemporaryDir home;
    QByteArray dataFile;
    std::unique_ptr<ThreadedHttpServer> server;
    // The locale the test process had, put back after each test.
    const bool hadLocale = qEnvironmentVariableIsSet("LC_ALL");
    const QByteArray savedLocale = qgetenv("LC_ALL");

    void SetUp() override
    {
        QFile data(ConsoleProcess::generate(home, QStringLiteral("made.lmd"), {"--rows", "40"}));
        ASSERT_TRUE(data.open(QIODevice::ReadOnly));
        dataFile = data.readAll();
        const QByteArray index = (recordLine("12/23/2003", "1700", "12/23/2003", "1730", "Meteor",
                                             {"sky.png", "rec.lmd", "", "sound.wav"}) +
                                  recordLine("12/23/2003", "1715", "12/23/2003", "1800", "Second"))
                                     .toUtf8();
        server = std::make_unique<ThreadedHttpServer>([index, this](HttpTestServer &s) {
            s.serve("/varecords_sort.txt", index);
            s.serve("/vadataclean/rec.lmd", dataFile);
            s.serve("/vadataclean/sound.wav", QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16));   // a sound by its bytes too
            s.routes["/stalled/varecords_sort.txt"] = {200, "OK", index, {}, true};
        });
        QFile ini(home.filePath(QStringLiteral("s.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Settings]\nArchiveURL=" + server->url().toUtf8() + "\nDataDirectory=" + home.filePath("dl").toUtf8() + "\n");
        // Dates typed and shown the American way, in the child processes only: the next test
        // in this process finds the environment as it was.
        qputenv("LC_ALL", "en_US.UTF-8");
    }
    void TearDown() override
    {
        if (hadLocale)
            qputenv("LC_ALL", savedLocale);
        else
            qunsetenv("LC_ALL");
    }

    QStringList run(const QString &script, int timeoutMs = 60000)
    {
        return ConsoleProcess::lines(ConsoleProcess::run(home, {}, script.toUtf8(), timeoutMs));
    }
    void pointAt(const QString &url)
    {
        QSettings ini(home.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Settings/ArchiveURL"), url);
    }
};

TEST_F(ConsoleArchive, AnEscLineOrTheEndOfInputCancelsAStalledDownload)
{
    pointAt(server->url(QStringLiteral("/stalled/")));
    const QStringList cancelled = run(QStringLiteral("VA\n12/23/2003\n:esc\n"), 20000);   // far below the 30 s time-out
    const qsizetype at = cancelled.indexOf(QStringLiteral("say: Downloading VArecords.txt"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(cancelled.mid(at + 1, 4), (QStringList{"say: Download cancelled by user.", "say: Veyra Archive Record index not found.",
                                                     "say: Error reading index.", "say: Matching Files for 12/23/2003   0"}));

    // A script that ends while the download runs leaves nobody to wait for it or stop it.
    const QStringList ended = run(QStringLiteral("VA\n12/23/2003\n"), 20000);
    EXPECT_TRUE(ended.contains("say: Download cancelled by user.")) << ended.join(u'\n').toStdString();
}

TEST_F(ConsoleArchive, SearchWalkTheListFetchAndLoad)
{
    const QStringList out = run(QStringLiteral("VA\n12/23/2003 17:20\n:state\n:shift+down\n:down\n:up\n:enter\n"
                                               ":key W\n:key T\n:tab\n:state\nnot a date\n:state\n"));
    const auto has = [&out](const QString &line) { return out.contains(line); };
    EXPECT_TRUE(has("say: Enter Date or Date and time for Veyra Archive search."));
    EXPECT_TRUE(has("say: Matching Files for 12/23/2003 17:20   2"));
    EXPECT_TRUE(has("say: Archive List has focus. Record  1 of  2"));
    const QStringList states = out.filter(QStringLiteral("state: "));
    ASSERT_EQ(states.size(), 3);
    EXPECT_TRUE(states[0].contains(" focus=List1")) << states[0].toStdString();
    EXPECT_TRUE(states[0].contains(" pending=VA"));
    EXPECT_TRUE(states[1].contains(" focus=txtIn"));
    const qsizetype walk = out.indexOf(QStringLiteral("say: Record 2"));
    ASSERT_GE(walk, 0);
    EXPECT_TRUE(out[walk + 1].startsWith(QStringLiteral("say:  2  12/23/2003 5:15"))) << out[walk + 1].toStdString();
    EXPECT_EQ(out[walk + 2], "say: Record 2");   // the last entry again
    EXPECT_EQ(out[walk + 3], "say: Record 1");
    EXPECT_EQ(out[walk + 4], "say: Record 1");   // Enter: position, then the entry
    EXPECT_TRUE(out[walk + 5].endsWith(QStringLiteral("  Meteor Scatter  Detail of Meteor  Image  LMD Sound")));
    EXPECT_TRUE(has("say: Saved sound.wav"));
    EXPECT_TRUE(has(QStringLiteral("open: ") + home.filePath(QStringLiteral("dl/sound.wav"))));
    EXPECT_TRUE(has("say: No text file associated with this record."));
    EXPECT_TRUE(has("say: Waiting for text."));   // Tab: back in the command box
    // The prompt is still open: the next line is read as a date.
    EXPECT_TRUE(has("say: not a date cannot be interpreted as a date."));
    EXPECT_TRUE(states[2].contains(" pending= "));
}

TEST_F(ConsoleArchive, SFetchesTheDataFileAndLoadsIt)
{
    const QStringList out = run(QStringLiteral("VA\n12/23/2003 17:20\n:key S\n:state\n"));
    EXPECT_TRUE(out.contains("say: Saved rec.lmd"));
    const QStringList states = out.filter(QStringLiteral("state: "));
    ASSERT_EQ(states.size(), 1);
    EXPECT_TRUE(states[0].contains("loaded=1 channels=1 last_index=39")) << states[0].toStdString();
    EXPECT_TRUE(states[0].endsWith(QStringLiteral("rec.lmd")));
    EXPECT_TRUE(states[0].contains(" focus=txtIn ")) << "the emptied list gives the focus back";
    const qsizetype arrived = out.indexOf(QStringLiteral("say: Saved rec.lmd"));
    EXPECT_EQ(out.value(arrived + 1), "say: In folder " + home.filePath(QStringLiteral("dl")) + ".");
    EXPECT_GT(out.indexOf(QStringLiteral("say: Waiting for text."), arrived), arrived);
    // Loaded as from the recent-files menu: the file's report follows.
    EXPECT_GT(out.indexOf(QStringLiteral("say: Number of channels  1."), arrived), arrived);
    EXPECT_FALSE(out.contains("say: No matching records."));
    QFile saved(home.filePath(QStringLiteral("dl/rec.lmd")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), dataFile);
}

} // namespace
