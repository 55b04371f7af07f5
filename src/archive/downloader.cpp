#include "archive/downloader.h"
#include "ports/message_pump.h"
#include "voice/folder_browser.h"
#include "voice/speech.h"
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QScopeGuard>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int SliceMs = 15;

int statusOf(const QNetworkReply &reply)
{
    return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

bool successful(int status) { return status >= 200 && status < 300; }

QString cannotWrite(const QString &path, const QString &reason)
{
    return QStringLiteral("The file ") + QDir::toNativeSeparators(path) + QStringLiteral(" cannot be written: ") + reason;
}

} // namespace

Downloader::Downloader(Speech &speech, MessagePump &pump) : speech_(speech), pump_(pump) {}
Downloader::~Downloader() = default;

bool Downloader::doDownload(const QString &url, const QString &localPath)
{
    if (Downloading) {
        // A command run while a download pumps must not start a second one over the first.
        speech_.speak(QStringLiteral("Please wait, a download is still running."));
        return false;
    }
    speech_.AbortRequested = false;
    Downloading = true;
    const auto done = qScopeGuard([this] { Downloading = false; });

    const QString name = FileNameOf(QDir::toNativeSeparators(localPath));
    speech_.speak(QStringLiteral("Downloading ") + name);
    QString why;
    switch (fetch(url, localPath, why)) {
    case Outcome::Saved:
        speech_.speak(QStringLiteral("Finished downloading."));
        speech_.speak(QStringLiteral("Saved ") + name);
        return true;
    case Outcome::Cancelled:
        speech_.speak(QStringLiteral("Download cancelled by user."));
        speech_.AbortRequested = false;
        return false;
    case Outcome::Failed:
        speech_.speak(QStringLiteral("Error downloading:") + why);
        return false;
    }
    return false;
}

Downloader::Outcome Downloader::fetch(const QString &url, const QString &localPath, QString &why)
{
    const QUrl address(url);
    if (!address.isValid() || (address.scheme() != QLatin1String("http") && address.scheme() != QLatin1String("https"))) {
        why = QStringLiteral("The address ") + url + QStringLiteral(" is not a web address.");
        return Outcome::Failed;
    }
    QDir().mkpath(QFileInfo(localPath).absolutePath());
    QSaveFile file(localPath);   // the old file stays until commit()
    if (!file.open(QIODevice::WriteOnly)) {
        why = cannotWrite(localPath, file.errorString());
        return Outcome::Failed;
    }
    if (!network_)
        network_ = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    std::unique_ptr<QNetworkReply> reply(network_->get(request));

    bool cancelled = false;
    if (!waitFor(*reply, file, cancelled, why))
        return cancelled ? Outcome::Cancelled : Outcome::Failed;

    const int status = statusOf(*reply);
    if (!successful(status) && status != 0) {
        why = QStringLiteral("The server answered %1 %2.")
                  .arg(status)
                  .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())
                  .replace(QLatin1String(" ."), QLatin1String("."));
        return Outcome::Failed;
    }
    if (reply->error() != QNetworkReply::NoError) {
        why = reply->errorString();
        return Outcome::Failed;
    }
    // A compressed body arrives unpacked, so its announced length says nothing about it.
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && reply->rawHeader("Content-Encoding").isEmpty() && file.size() != length.toLongLong()) {
        why = QStringLiteral("The connection closed before the whole file arrived.");
        return Outcome::Failed;
    }
    if (!file.commit()) {
        why = cannotWrite(localPath, file.errorString());
        return Outcome::Failed;
    }
    return Outcome::Saved;
}

bool Downloader::waitFor(QNetworkReply &reply, QSaveFile &file, bool &cancelled, QString &why)
{
    QElapsedTimer sinceLastByte, sinceProgress;
    sinceLastByte.start();
    sinceProgress.start();
    qint64 received = 0;
    bool writeFailed = false;
    const auto takeBody = [&] {
        sinceLastByte.restart();
        const QByteArray bytes = reply.readAll();
        received += bytes.size();
        // An error page's body is not the file: only a successful answer is written.
        if (writeFailed || !successful(statusOf(reply)))
            return;
        if (file.write(bytes) != bytes.size()) {
            writeFailed = true;
            why = cannotWrite(file.fileName(), file.errorString());
            reply.abort();
        }
    };
    // The handlers see this function's locals: they must not outlive it.
    const QMetaObject::Connection hooks[] = {
        QObject::connect(&reply, &QNetworkReply::readyRead, takeBody),
        QObject::connect(&reply, &QNetworkReply::redirected, [&] { sinceLastByte.restart(); })};
    const auto unhook = qScopeGuard([&hooks] {
        for (const auto &hook : hooks)
            QObject::disconnect(hook);
    });

    QEventLoop loop;
    QTimer slice;
    slice.setInterval(SliceMs);
    QObject::connect(&slice, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    slice.start();
    while (!reply.isFinished()) {
        loop.exec();
        pump_.pump();
        if (speech_.AbortRequested) {
            cancelled = true;
            reply.abort();
            return false;
        }
        if (sinceProgress.elapsed() > progressEveryMs && received > 0) {
            sinceProgress.restart();
            const qint64 expected = reply.header(QNetworkRequest::ContentLengthHeader).toLongLong();
            speech_.speakAsync(expected > 0 ? QStringLiteral("%1 percent.").arg(std::min<qint64>(received * 100 / expected, 99))
                                            : QStringLiteral("%1 kilobytes.").arg(received / 1024));
        }
        if (!reply.isFinished() && sinceLastByte.elapsed() > stallLimitMs) {
            const int seconds = (stallLimitMs + 999) / 1000;
            why = QStringLiteral("No data arrived for %1 %2.").arg(seconds).arg(seconds == 1 ? "second" : "seconds");
            reply.abort();
            return false;
        }
    }
    if (reply.bytesAvailable() > 0)
        takeBody();
    return !writeFailed;
}
