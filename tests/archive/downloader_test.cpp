#include "archive/downloader_fixture.h"

namespace {

TEST_F(DownloaderTest, SavesTheWholeBodyFollowingRedirectsAndReplacesALongerFile)
{
    server.serve("/vadataclean/a.lmd", "short body");
    server.routes["/moved"] = {302, "Found", {}, server.url(QStringLiteral("/vadataclean/a.lmd")).toUtf8()};
    writeFile(path("a.lmd"), QByteArray(500, 'x'));
    speech.AbortRequested = true;   // an Escape from before does not cancel this download

    EXPECT_TRUE(downloader.doDownload(server.url(QStringLiteral("/moved")), path("a.lmd")));
    EXPECT_EQ(readFile(path("a.lmd")), "short body");   // exactly the body, nothing of the old file
    const QString folder = QStringLiteral("In folder ") + QDir::toNativeSeparators(dir.path()) + u'.';
    EXPECT_EQ(voice.spoken, (QStringList{"Downloading a.lmd", "Finished downloading.", "Saved a.lmd", folder}));
    EXPECT_EQ(server.requested, (QList<QByteArray>{"/moved", "/vadataclean/a.lmd"}));
    EXPECT_TRUE(server.heads.last().contains("\r\nAccept-Encoding: identity")) << server.heads.last().toStdString();
    EXPECT_EQ(leftovers(), QStringList{"a.lmd"}) << "no temporary file is left";

    // The same folder again is not said again; another folder is.
    voice.spoken.clear();
    EXPECT_TRUE(downloader.doDownload(at("/vadataclean/a.lmd"), path("b.lmd")));
    EXPECT_EQ(voice.spoken.last(), "Saved b.lmd");
    EXPECT_TRUE(downloader.doDownload(at("/vadataclean/a.lmd"), path("sub/c.lmd")));
    EXPECT_EQ(voice.spoken.last(), QStringLiteral("In folder ") + QDir::toNativeSeparators(path("sub")) + u'.');
}

TEST_F(DownloaderTest, AnErrorAnswerIsReportedAndNeverSavedAsTheFile)
{
    writeFile(path("old.txt"), "old bytes");
    server.routes["/old.txt"] = {500, "Internal Server Error", "<html>oops</html>"};

    EXPECT_EQ(failure("/missing.txt", "new.txt"), "Error downloading:The server answered 404 Not Found.");
    EXPECT_EQ(failure("/old.txt", "old.txt"), "Error downloading:The server answered 500 Internal Server Error.");
    EXPECT_FALSE(QFile::exists(path("new.txt")));
    EXPECT_EQ(readFile(path("old.txt")), "old bytes");
}

TEST_F(DownloaderTest, ARefusedConnectionIsReported)
{
    const QString refused = QStringLiteral("http://127.0.0.1:%1/x.txt").arg(HttpTestServer::closedPort());
    EXPECT_FALSE(downloader.doDownload(refused, path("x.txt")));
    EXPECT_EQ(voice.spoken.last(), "Error downloading:Connection refused");
}

TEST_F(DownloaderTest, EscapeCancelsAStalledTransferAndKeepsTheOldFile)
{
    writeFile(path("big.lmd"), "former contents");
    server.routes["/big.lmd"] = {200, "OK", QByteArray(4000, 'b'), {}, true};
    downloader.progressEveryMs = 60;
    pump.script.resize(30, [] {});   // Escape once the download has pumped 30 times
    pump.script.push_back([this] {
        EXPECT_TRUE(downloader.Downloading);
        speech.AbortRequested = true;
    });

    EXPECT_FALSE(downloader.doDownload(at("/big.lmd"), path("big.lmd")));
    EXPECT_EQ(voice.spoken, (QStringList{"Downloading big.lmd", "Download cancelled by user."}));
    EXPECT_FALSE(speech.AbortRequested);
    EXPECT_EQ(readFile(path("big.lmd")), "former contents");
    ASSERT_FALSE(voice.spokenAsync.isEmpty()) << "a long download says how far it got";
    EXPECT_EQ(voice.spokenAsync.first(), "24 percent.");   // 2000 of 8010 bytes
}

TEST_F(DownloaderTest, DataThatKeepsComingNeverCountsAsAStall)
{
    // Each gap is under the limit; the whole transfer is well over it.
    server.routes["/trickle"] = {200, "OK", QByteArray(8, 't'), {}, false, -1, {}, false, 100};
    server.routes["/slower"] = {200, "OK", QByteArray(2, 's'), {}, false, -1, {}, false, 600};
    downloader.stallLimitMs = 300;
    EXPECT_TRUE(downloader.doDownload(at("/trickle"), path("slow.dat"))) << voice.spoken.join(u'|').toStdString();
    EXPECT_EQ(readFile(path("slow.dat")), QByteArray(8, 't'));
    // A gap over the limit is one.
    EXPECT_EQ(failure("/slower", "slower.dat"), "Error downloading:No data arrived for 1 second.");
}

TEST_F(DownloaderTest, AFileThatCannotBeWrittenIsReported)
{
    server.serve("/a.txt", "text");
    writeFile(path("plain"), "a file, not a folder");
    const QString why = failure("/a.txt", "plain/a.txt");
    EXPECT_TRUE(why.startsWith("Error downloading:The file ")) << why.toStdString();
    EXPECT_TRUE(why.endsWith("cannot be written: A part of the folder's path is a file, not a folder.")) << why.toStdString();
}

} // namespace
