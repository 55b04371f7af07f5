#pragma once
#include <QString>
#include <functional>
#include <memory>

class Speech;
class MessagePump;
class QNetworkAccessManager;
class QNetworkReply;
class DownloadBody;

// What a caller may ask of one download beyond the address and the local path.
struct DownloadOptions {
    // A body larger than this many bytes is refused (0: no cap), before any byte when the server
    // announces its length, otherwise as soon as the bytes pass it.
    qint64 maxBytes = 0;
    // Completes "The file is larger than NAME (N MB) allows.".
    QString capName;
    // Looks at the whole body (checked, unpacked and on the disk beside the target) before it
    // replaces the old file: empty text accepts it, anything else is the reason it is refused.
    std::function<QString(const QString &bodyPath)> check;
    // False: the caller says where the file was saved (it has more to say about it).
    bool announceSaved = true;
};

// Fetches one file over HTTP into a local file, speaking what happens. The window stays alive
// meanwhile and Escape (AbortRequested) cancels. The local file is replaced only by the whole
// body of a successful answer; every failure leaves it as it was.
class Downloader {
public:
    Downloader(Speech &speech, MessagePump &pump);
    ~Downloader();

    // True when the file arrived and was saved.
    bool doDownload(const QString &url, const QString &localPath, const DownloadOptions &options = {});
    // "Saved NAME", then the folder when it is not the one last spoken.
    void announceSaved(const QString &localPath);

    // True only while doDownload runs.
    bool Downloading = false;
    // How long the transfer may go without a byte before it counts as failed.
    int stallLimitMs = 30000;
    // A transfer that brings fewer than minBytesPerSecond on average over slowWindowMs fails:
    // a server that drips a byte now and then would otherwise hold the user for ever.
    int slowWindowMs = 60000;
    qint64 minBytesPerSecond = 1024;
    // A long download says how far it got this often (percent, or kilobytes without a length).
    int progressEveryMs = 10000;
    // Redirects followed before the download counts as sent round in a loop.
    int maxRedirects = 10;

private:
    enum class Outcome { Saved, Cancelled, Failed };
    Outcome fetch(const QString &url, const QString &localPath, const DownloadOptions &options, QString &why);
    // Waits for the reply, pumping; false when it was cancelled, stalled, too slow or its body
    // was refused (`why` says why).
    bool waitFor(QNetworkReply &reply, DownloadBody &body, bool &cancelled, QString &why);
    // Why a finished reply is not a whole file; empty when it is.
    QString refusal(QNetworkReply &reply, const DownloadBody &body) const;

    Speech &speech_;
    MessagePump &pump_;
    std::unique_ptr<QNetworkAccessManager> network_;
};
