// The download's clocks and its cancel flag, at their edges.
#include "archive/downloader_fixture.h"
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Answers every request with a body sent a chunk at a time, `gapMs` apart.
class TrickleServer {
public:
    TrickleServer(int chunks, int gapMs) : chunks_(chunks), gapMs_(gapMs)
    {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *socket = server_.nextPendingConnection())
                QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { answer(socket); });
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/slow.dat").arg(server_.serverPort()); }
    static QByteArray chunk() { return QByteArray(100, 'c'); }

private:
    void answer(QTcpSocket *socket)
    {
        if (!socket->readAll().contains("\r\n\r\n"))
            return;
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(chunks_ * chunk().size()) +
                      "\r\nConnection: close\r\n\r\n");
        auto *timer = new QTimer(socket);
        QObject::connect(timer, &QTimer::timeout, socket, [socket, timer, left = chunks_]() mutable {
            socket->write(chunk());
            socket->flush();
            if (--left == 0) {
                timer->stop();
                socket->disconnectFromHost();
            }
        });
        timer->start(gapMs_);
    }

    QTcpServer server_;
    int chunks_, gapMs_;
};

class DownloadEdgesTest : public DownloaderTest {
protected:
    qint64 sizeOf(const char *name) const { return QFile(dir.filePath(QLatin1String(name))).size(); }
};

TEST_F(DownloadEdgesTest, DataThatKeepsComingNeverCountsAsAStall)
{
    // Each gap is under the limit; the whole transfer is well over it.
    TrickleServer server(8, 100);
    downloader.stallLimitMs = 300;
    EXPECT_TRUE(downloader.doDownload(server.url(), dir.filePath(QStringLiteral("slow.dat")))) << voice.spoken.join(u'|').toStdString();
    EXPECT_EQ(sizeOf("slow.dat"), 800);

    // A gap over the limit is one.
    TrickleServer slower(2, 600);
    EXPECT_FALSE(downloader.doDownload(slower.url(), dir.filePath(QStringLiteral("slower.dat"))));
    EXPECT_EQ(voice.spoken.last(), "Error downloading:No data arrived for 1 second.");
}

TEST_F(DownloadEdgesTest, AnEscapeFromBeforeDoesNotCancelTheNextDownload)
{
    HttpTestServer server;
    server.serve("/a.txt", "text");
    speech.AbortRequested = true;
    EXPECT_TRUE(downloader.doDownload(server.url(QStringLiteral("/a.txt")), dir.filePath(QStringLiteral("a.txt"))));
    EXPECT_TRUE(voice.spoken.contains("Saved a.txt")) << voice.spoken.join(" | ").toStdString();
}

} // namespace
