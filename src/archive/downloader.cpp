#include "archive/downloader.h"
#include "archive/download_body.h"
#include "archive/download_words.h"
#include "ports/message_pump.h"
#include "voice/folder_browser.h"
#include "voice/speech.h"
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QScopeGuard>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int SliceMs = 15;
// Bytes Qt may hold for us between two reads: the body goes to the disk, not to memory.
constexpr qint64 ReadBufferBytes = 1 << 20;

int statusOf(const QNetworkReply &reply)
{
    return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

bool successful(int status) { return status >= 200 && status < 300; }
bool redirection(int status) { return status >= 300 && status < 400; }

QString secondsText(int ms)
{
    const int seconds = std::max(1, (ms + 999) / 1000);
    return QStringLiteral("%1 %2").arg(seconds).arg(seconds == 1 ? "second" : "seconds");
}

} // namespace

Downloader::Downloader(Speech &speech, MessagePump &pump) : speech_(speech), pump_(pump) {}
Downloader::~Downloader() = default;

bool Downloader::doDownload(const QString &url, const QString &localPath, const DownloadOptions &options)
{
    if (Downloading) {
        // A command run while a download pumps must not start a second one over the first.
        speech_.speak(QStringLiteral("Please wait, a download is still running."));
        return false;
    }
    speech_.AbortRequested = false;
    Downloading = true;
    const auto done = qScopeGuard([this] { Downloading = false; });

    const QString name = DownloadWords::shortened(FileNameOf(QDir::toNativeSeparators(localPath)));
    speech_.speak(QStringLiteral("Downloading ") + name);
    QString why;
    switch (fetch(url, localPath, options, why)) {
    case Outcome::Saved:
        speech_.speak(QStringLiteral("Finished downloading."));
        if (options.announceSaved)
            announceSaved(localPath);
        return true;
    case Outcome::Cancelled:
        speech_.speak(QStringLiteral("Download cancelled by user."));
        speech_.AbortRequested = false;
        return false;
    case Outcome::Failed:
        speech_.speak(QStringLiteral("Error downloading:") + DownloadWords::redacted(why, url));
        return false;
    }
    return false;
}

void Downloader::announceSaved(const QString &localPath)
{
    speech_.speak(QStringLiteral("Saved ") + DownloadWords::shortened(FileNameOf(QDir::toNativeSeparators(localPath))));
    speech_.speakFolder(QFileInfo(localPath).absolutePath());
}

Downloader::Outcome Downloader::fetch(const QString &url, const QString &localPath, const DownloadOptions &options, QString &why)
{
    const QUrl address(url);
    if (!address.isValid() || (address.scheme() != QLatin1String("http") && address.scheme() != QLatin1String("https"))) {
        why = QStringLiteral("The address ") + DownloadWords::shortened(DownloadWords::withoutUserInfo(url))
              + QStringLiteral(" is not a web address.");
        return Outcome::Failed;
    }
    DownloadBody body(localPath, options.maxBytes, options.capName);
    if (!body.open(why))
        return Outcome::Failed;
    if (!network_)
        network_ = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(maxRedirects);
    // The bytes as the server holds them: their count can then be checked against the length
    // it announces. A server that packs them anyway is unpacked here.
    request.setRawHeader("Accept-Encoding", "identity");
    std::unique_ptr<QNetworkReply> reply(network_->get(request));
    reply->setReadBufferSize(ReadBufferBytes);

    bool cancelled = false;
    if (!waitFor(*reply, body, cancelled, why))
        return cancelled ? Outcome::Cancelled : Outcome::Failed;
    why = refusal(*reply, body);
    if (!why.isEmpty() || !body.finish(why))
        return Outcome::Failed;
    if (options.check) {
        why = options.check(body.temporaryPath());
        if (!why.isEmpty())
            return Outcome::Failed;
    }
    return body.commit(why) ? Outcome::Saved : Outcome::Failed;
}

QString Downloader::refusal(QNetworkReply &reply, const DownloadBody &body) const
{
    const int status = statusOf(reply);
    const QNetworkReply::NetworkError error = reply.error();
    if (error == QNetworkReply::TooManyRedirectsError)
        return QStringLiteral("The server sent the download from address to address in a loop, so it never arrived.");
    if (redirection(status)) {
        const QString target = reply.header(QNetworkRequest::LocationHeader).toUrl().toString();
        if (!target.isEmpty())
            return QStringLiteral("The server sent the download on to ") + DownloadWords::shortened(DownloadWords::withoutUserInfo(target))
                   + QStringLiteral(", which is not an address this program fetches from.");
    }
    if (!successful(status) && status != 0)
        return QStringLiteral("The server answered %1 %2.")
            .arg(status)
            .arg(DownloadWords::shortened(reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()))
            .replace(QLatin1String(" ."), QLatin1String("."));
    // The announced length is compared with what came over the wire, packed or not.
    const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && body.received() != length.toLongLong())
        return QStringLiteral("The connection closed before the whole file arrived.");
    if (error != QNetworkReply::NoError)
        return reply.errorString();
    // Nobody asked for a part: a part is not the file.
    if (status == 206)
        return QStringLiteral("The server sent only part of the file.");
    if (body.received() == 0)
        return QStringLiteral("The server sent an empty file.");
    return QString();
}

bool Downloader::waitFor(QNetworkReply &reply, DownloadBody &body, bool &cancelled, QString &why)
{
    QElapsedTimer sinceLastByte, sinceProgress, rateWindow;
    sinceLastByte.start();
    sinceProgress.start();
    rateWindow.start();
    qint64 received = 0, receivedAtWindowStart = 0;
    bool headersTaken = false, refused = false;
    const auto refuse = [&] {
        refused = true;
        reply.abort();
    };
    // The final answer's headers, once: how its body is packed, and a length past the cap.
    const auto takeHeaders = [&] {
        if (headersTaken || refused || !successful(statusOf(reply)))
            return;
        headersTaken = true;
        const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
        if (body.maxBytes() > 0 && length.isValid() && length.toLongLong() > body.maxBytes()) {
            why = body.tooLarge();
            refuse();
        } else if (!body.setEncoding(reply.rawHeader("Content-Encoding"), why)) {
            refuse();
        }
    };
    const auto takeBody = [&] {
        sinceLastByte.restart();
        const QByteArray bytes = reply.readAll();
        received += bytes.size();
        // An error page's body is not the file: only a successful answer is kept.
        if (refused || !successful(statusOf(reply)))
            return;
        takeHeaders();
        if (!refused && !body.add(bytes, why))
            refuse();
    };
    // The handlers see this function's locals: they must not outlive it.
    const QMetaObject::Connection hooks[] = {
        QObject::connect(&reply, &QNetworkReply::metaDataChanged, takeHeaders),
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
        if (refused)
            return false;
        if (sinceProgress.elapsed() > progressEveryMs && received > 0) {
            sinceProgress.restart();
            const qint64 expected = reply.header(QNetworkRequest::ContentLengthHeader).toLongLong();
            speech_.speakAsync(expected > 0 ? QStringLiteral("%1 percent.").arg(std::min<qint64>(received * 100 / expected, 99))
                                            : QStringLiteral("%1 kilobytes.").arg(received / 1024));
        }
        if (reply.isFinished())
            break;
        if (sinceLastByte.elapsed() > stallLimitMs) {
            why = QStringLiteral("No data arrived for %1.").arg(secondsText(stallLimitMs));
            reply.abort();
            return false;
        }
        if (rateWindow.elapsed() >= slowWindowMs) {
            if ((received - receivedAtWindowStart) * 1000 < minBytesPerSecond * rateWindow.elapsed()) {
                why = QStringLiteral("The file came too slowly: less than %1 kilobytes a second for %2.")
                          .arg(std::max<qint64>(1, minBytesPerSecond / 1024))
                          .arg(secondsText(slowWindowMs))
                          .replace(QLatin1String(" 1 kilobytes"), QLatin1String(" 1 kilobyte"));
                reply.abort();
                return false;
            }
            rateWindow.restart();
            receivedAtWindowStart = received;
        }
    }
    if (reply.bytesAvailable() > 0)
        takeBody();
    return !refused;
}
