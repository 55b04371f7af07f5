#include "archive/download_body.h"
#include "archive/download_words.h"
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <zlib.h>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

constexpr int UnpackChunk = 64 * 1024;

std::filesystem::path fsPath(const QString &path) { return std::filesystem::path(QFile::encodeName(path).toStdString()); }

QString megabytes(qint64 bytes)
{
    return QString::number((bytes + (1 << 20) - 1) >> 20);
}

} // namespace

struct DownloadBody::Unpacker {
    z_stream stream{};
    bool ended = false;
    bool started = false;
    ~Unpacker() { inflateEnd(&stream); }
};

DownloadBody::DownloadBody(QString target, qint64 maxBytes, QString capName)
    : target_(std::move(target)), maxBytes_(maxBytes), capName_(std::move(capName))
{
}

DownloadBody::~DownloadBody()
{
    if (!committed_ && !temp_.fileName().isEmpty()) {
        temp_.close();
        QFile::remove(temp_.fileName());
    }
}

QString DownloadBody::cannotWrite(int errorNumber) const
{
    const QString reason = DownloadWords::writeFailure(errorNumber, temp_.errorString());
    return QStringLiteral("The file ") + DownloadWords::shortened(QDir::toNativeSeparators(target_))
           + QStringLiteral(" cannot be written: ") + reason;
}

QString DownloadBody::tooLarge() const
{
    return QStringLiteral("The file is larger than ") + capName_ + QStringLiteral(" (") + megabytes(maxBytes_)
           + QStringLiteral(" MB) allows.");
}

bool DownloadBody::open(QString &why)
{
    const QFileInfo target(target_);
    std::error_code error;
    std::filesystem::create_directories(fsPath(target.absolutePath()), error);
    if (error) {
        // "Exists" here means a file stands where a folder of the path should be.
        why = cannotWrite(error.value() == EEXIST ? ENOTDIR : error.value());
        return false;
    }
    // Hidden, beside the target (so the final rename stays on one disk), and new: an existing
    // file or link of that name is never opened.
    const QString stem = target.fileName().left(60);
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString name = QStringLiteral(".%1.%2.part").arg(stem).arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        temp_.setFileName(target.absoluteDir().filePath(name));
        errno = 0;
        if (temp_.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            return true;
        const int number = errno;
        if (number != EEXIST) {
            why = cannotWrite(number);
            temp_.setFileName(QString());
            return false;
        }
    }
    why = cannotWrite(EEXIST);
    temp_.setFileName(QString());
    return false;
}

bool DownloadBody::setEncoding(const QByteArray &contentEncoding, QString &why)
{
    const QByteArray coding = contentEncoding.trimmed().toLower();
    if (coding.isEmpty() || coding == "identity")
        return true;
    int windowBits = 0;
    if (coding == "gzip" || coding == "x-gzip")
        windowBits = 15 + 16;
    else if (coding == "deflate")
        windowBits = 15 + 32;   // zlib wrapping, which "deflate" means; a gzip header is read too
    else {
        why = QStringLiteral("The server packed the file as \"") + DownloadWords::shortened(QString::fromLatin1(coding))
              + QStringLiteral("\", which this program cannot unpack.");
        return false;
    }
    unpacker_ = std::make_unique<Unpacker>();
    if (inflateInit2(&unpacker_->stream, windowBits) != Z_OK) {
        unpacker_.reset();
        why = QStringLiteral("There is not enough memory to unpack the file.");
        return false;
    }
    return true;
}

bool DownloadBody::write(const char *data, qint64 size, QString &why)
{
    if (maxBytes_ > 0 && written_ + size > maxBytes_) {
        why = tooLarge();
        return false;
    }
    errno = 0;
    if (temp_.write(data, size) != size) {
        why = cannotWrite(errno);
        return false;
    }
    written_ += size;
    return true;
}

bool DownloadBody::inflate(const QByteArray &bytes, bool atEnd, QString &why)
{
    z_stream &z = unpacker_->stream;
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    z.avail_in = uInt(bytes.size());
    char out[UnpackChunk];
    while (z.avail_in > 0 || atEnd) {
        if (unpacker_->ended) {
            // Another gzip member may follow the first; anything else after the end is dropped.
            if (z.avail_in == 0 || inflateReset(&z) != Z_OK)
                break;
            unpacker_->ended = false;
        }
        z.next_out = reinterpret_cast<Bytef *>(out);
        z.avail_out = UnpackChunk;
        const int result = ::inflate(&z, Z_NO_FLUSH);
        unpacker_->started = true;
        if (result == Z_NEED_DICT || result == Z_DATA_ERROR || result == Z_MEM_ERROR) {
            why = QStringLiteral("The file arrived packed and damaged, so it could not be unpacked.");
            return false;
        }
        if (!write(out, UnpackChunk - qint64(z.avail_out), why))
            return false;
        if (result == Z_STREAM_END)
            unpacker_->ended = true;
        else if (result == Z_BUF_ERROR || (z.avail_out > 0 && z.avail_in == 0))
            break;   // every byte given is used: more must arrive
    }
    return true;
}

bool DownloadBody::add(const QByteArray &bytes, QString &why)
{
    received_ += bytes.size();
    if (bytes.isEmpty())
        return true;
    if (!unpacker_)
        return write(bytes.constData(), bytes.size(), why);
    if (maxBytes_ > 0 && received_ > maxBytes_) {
        why = tooLarge();
        return false;
    }
    return inflate(bytes, false, why);
}

bool DownloadBody::finish(QString &why)
{
    if (unpacker_) {
        if (!inflate(QByteArray(), true, why))
            return false;
        if (!unpacker_->ended) {
            why = QStringLiteral("The packed file broke off before its end, so it could not be unpacked.");
            return false;
        }
    }
    errno = 0;
    if (!temp_.flush()) {
        why = cannotWrite(errno);
        return false;
    }
#ifdef Q_OS_UNIX
    // On the disk before it takes the old file's place: a crash then leaves old or new, never half.
    if (::fsync(temp_.handle()) != 0) {
        why = cannotWrite(errno);
        return false;
    }
#endif
    return true;
}

bool DownloadBody::commit(QString &why)
{
    temp_.close();
    std::error_code error;
    // A rename replaces the directory entry, so a link in the target's place is replaced itself.
    std::filesystem::rename(fsPath(temp_.fileName()), fsPath(target_), error);
    if (error) {
        why = cannotWrite(error.value());
        return false;
    }
    committed_ = true;
    return true;
}
