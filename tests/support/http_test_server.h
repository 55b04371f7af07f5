#pragma once
#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <functional>
#include <future>
#include <zlib.h>

// A small HTTP server on 127.0.0.1 for download tests: each path answers as its route says,
// including the ways real servers fail (an error status, a stall, a body cut short).
class HttpTestServer {
public:
    struct Route {
        int status = 200;
        QByteArray reason = "OK";
        QByteArray body;
        QByteArray location;         // a redirect to this address
        bool stall = false;          // send the headers and half the body, then nothing
        qint64 announcedLength = -1; // a Content-Length other than the body's (then close)
        QByteArray encoding;         // a Content-Encoding header ("gzip")
        bool noLength = false;       // no Content-Length: the body ends when the connection closes
        int dripMs = 0;              // send the body one byte at a time, this often
        QByteArray extraHeaders;     // more header lines, each ending in CR LF
    };

    // The body as a server packs it with Content-Encoding: gzip.
    static QByteArray gzip(const QByteArray &plain)
    {
        z_stream z{};
        deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
        QByteArray out(int(deflateBound(&z, uLong(plain.size()))) + 32, '\0');
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(plain.constData()));
        z.avail_in = uInt(plain.size());
        z.next_out = reinterpret_cast<Bytef *>(out.data());
        z.avail_out = uInt(out.size());
        deflate(&z, Z_FINISH);
        out.resize(qsizetype(z.total_out));
        deflateEnd(&z);
        return out;
    }

    HttpTestServer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *socket = server_.nextPendingConnection())
                QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { answer(socket); });
        });
    }

    QHash<QByteArray, Route> routes;
    QList<QByteArray> requested;   // paths in the order they were asked for
    QList<QByteArray> heads;       // each request's line and headers, in the same order

    quint16 port() const { return server_.serverPort(); }
    QString url(const QString &path = QString()) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
    }
    void serve(const QByteArray &path, const QByteArray &body) { routes[path].body = body; }

    // A port on which nobody listens: connections to it are refused.
    static quint16 closedPort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

private:
    void answer(QTcpSocket *socket)
    {
        QByteArray &pending = buffers_[socket];
        pending += socket->readAll();
        if (!pending.contains("\r\n\r\n"))
            return;
        const QByteArray path = pending.split(' ').value(1);
        heads << pending.left(pending.indexOf("\r\n\r\n"));
        pending.clear();
        requested << path;
        const auto it = routes.constFind(path);
        Route route = it != routes.constEnd() ? it.value() : Route{404, "Not Found", "<html>No such file</html>"};
        QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + ' ' + route.reason + "\r\n";
        if (!route.location.isEmpty())
            head += "Location: " + route.location + "\r\n";
        if (!route.encoding.isEmpty())
            head += "Content-Encoding: " + route.encoding + "\r\n";
        head += route.extraHeaders;
        const qint64 length = route.stall ? route.body.size() * 2 + 10
                              : route.announcedLength >= 0 ? route.announcedLength
                                                           : route.body.size();
        if (!route.noLength)
            head += "Content-Length: " + QByteArray::number(length) + "\r\n";
        head += "Connection: close\r\n\r\n";
        socket->write(head);
        if (route.dripMs > 0) {
            auto *drip = new QTimer(socket);
            QObject::connect(drip, &QTimer::timeout, socket, [socket, drip, body = route.body, sent = qsizetype(0)]() mutable {
                if (sent < body.size())
                    socket->write(body.mid(sent++, 1));
                else {
                    drip->stop();
                    socket->disconnectFromHost();
                }
            });
            drip->start(route.dripMs);
            return;
        }
        socket->write(route.stall ? route.body.left(route.body.size() / 2) : route.body);
        socket->flush();
        if (!route.stall)
            socket->disconnectFromHost();
    }

    QTcpServer server_;
    QHash<QTcpSocket *, QByteArray> buffers_;
};

// The same server on a thread of its own, for tests that block while a child process runs.
class ThreadedHttpServer : public QThread {
public:
    explicit ThreadedHttpServer(std::function<void(HttpTestServer &)> setup) : setup_(std::move(setup))
    {
        auto ready = portPromise_.get_future();
        start();
        port_ = ready.get();
    }
    ~ThreadedHttpServer() override
    {
        quit();
        wait();
    }
    QString url(const QString &path = QString()) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path); }

protected:
    void run() override
    {
        HttpTestServer server;
        setup_(server);
        portPromise_.set_value(server.port());
        exec();
    }

private:
    std::function<void(HttpTestServer &)> setup_;
    std::promise<quint16> portPromise_;
    quint16 port_ = 0;
};
