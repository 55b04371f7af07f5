#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

// Where a download's bytes go until they are known to be whole: a new file beside the target,
// unpacked on the way when the server packed them, never larger than the cap. Only commit()
// puts it in the target's place; a body that is dropped leaves nothing behind.
class DownloadBody {
public:
    DownloadBody(QString target, qint64 maxBytes, QString capName);
    ~DownloadBody();
    DownloadBody(const DownloadBody &) = delete;
    DownloadBody &operator=(const DownloadBody &) = delete;

    // Makes the target's folder when needed and opens the temporary file.
    bool open(QString &why);
    // How the server packed the body ("gzip", "deflate", or nothing); false for a packing this
    // program cannot undo.
    bool setEncoding(const QByteArray &contentEncoding, QString &why);
    // False when the cap is passed, the disk refuses the bytes or they cannot be unpacked.
    bool add(const QByteArray &bytes, QString &why);
    // The whole body has arrived: flushes it to the disk; a packed body must end properly.
    bool finish(QString &why);
    // Puts the body in the target's place. A symbolic link there is replaced itself, never the
    // file it points to.
    bool commit(QString &why);

    // The cap's sentence, for a length announced before any byte.
    QString tooLarge() const;
    qint64 maxBytes() const { return maxBytes_; }
    qint64 received() const { return received_; }   // as they came over the wire
    qint64 size() const { return written_; }         // as they are on disk
    QString temporaryPath() const { return temp_.fileName(); }

private:
    bool write(const char *data, qint64 size, QString &why);
    bool inflate(const QByteArray &bytes, bool atEnd, QString &why);
    QString cannotWrite(int errorNumber) const;

    QString target_;
    qint64 maxBytes_;
    QString capName_;
    QFile temp_;
    qint64 received_ = 0, written_ = 0;
    struct Unpacker;
    std::unique_ptr<Unpacker> unpacker_;
    bool committed_ = false;
};
