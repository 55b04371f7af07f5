#pragma once
#include <QString>
#include <memory>

class Speech;
class MessagePump;
class QNetworkAccessManager;
class QNetworkReply;
class QSaveFile;

// Fetches one file over HTTP into a local file, speaking what happens. The window stays alive
// meanwhile and Escape (AbortRequested) cancels. The local file is replaced only by the whole
// body of a successful answer; every failure leaves it as it was.
class Downloader {
public:
    Downloader(Speech &speech, MessagePump &pump);
    ~Downloader();

    // True when the file arrived and was saved.
    bool doDownload(const QString &url, const QString &localPath);

    // True only while doDownload runs.
    bool Downloading = false;
    // How long the transfer may go without a byte before it counts as failed.
    int stallLimitMs = 30000;
    // A long download says how far it got this often (percent, or kilobytes without a length).
    int progressEveryMs = 10000;

private:
    enum class Outcome { Saved, Cancelled, Failed };
    Outcome fetch(const QString &url, const QString &localPath, QString &why);
    // Waits for the reply, pumping; false when it was cancelled or stalled (`why` says which).
    bool waitFor(QNetworkReply &reply, QSaveFile &file, bool &cancelled, QString &why);

    Speech &speech_;
    MessagePump &pump_;
    std::unique_ptr<QNetworkAccessManager> network_;
};
