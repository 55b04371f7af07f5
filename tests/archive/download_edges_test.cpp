// The download's clocks and its cancel flag, at their edges.
#include "archive/downloader_fixture.h"

namespace {

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

TEST_F(DownloaderTest, AnEscapeFromBeforeDoesNotCancelTheNextDownload)
{
    server.serve("/a.txt", "text");
    speech.AbortRequested = true;
    EXPECT_TRUE(downloader.doDownload(at("/a.txt"), path("a.txt")));
    EXPECT_TRUE(voice.spoken.contains("Saved a.txt")) << voice.spoken.join(" | ").toStdString();
}

} // namespace
