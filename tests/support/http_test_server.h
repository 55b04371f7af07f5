#pragma once
#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <functional>
#include <future>

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
    };

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
        pending.clear();
        requested << path;
        const auto it = routes.constFind(path);
        Route route = it != routes.constEnd() ? it.value() : Route{404, "Not Found", "<html>No such file</html>"};
        QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + ' ' + route.reason + "\r\n";
        if (!route.location.isEmpty())
            head += "Location: " + route.location + "\r\n";
        const qint64 length = route.stall ? route.body.size() * 2 + 10
                              : route.announcedLength >= 0 ? route.announcedLength
                                                           : route.body.size();
        head += "Content-Length: " + QByteArray::number(length) + "\r\nConnection: close\r\n\r\n";
        socket->write(head);
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
